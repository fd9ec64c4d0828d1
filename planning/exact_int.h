#pragma once
// A signed integer of any size, used where results must be exact rather than wrapped: a
// frequency typed with many decimals still counts to its last digit.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace planning {

class ExactInt {
public:
    ExactInt() = default;
    explicit ExactInt(int64_t v);
    static ExactInt fromInt128(__int128 v);
    // Decimal digits only ("000123"); "" is zero.
    static ExactInt fromDigits(std::string_view digits);

    ExactInt operator*(const ExactInt& o) const;
    ExactInt operator+(const ExactInt& o) const;
    ExactInt operator-(const ExactInt& o) const;
    ExactInt operator-() const;
    ExactInt timesTenTo(unsigned exponent) const;

    friend bool operator==(const ExactInt& a, const ExactInt& b) = default;
    friend bool operator<(const ExactInt& a, const ExactInt& b) { return a.compare(b) < 0; }
    bool isNegative() const { return negative_; }
    bool isZero() const { return mag_.empty(); }
    // The value when it fits 128 bits.
    std::optional<__int128> toInt128() const;

    // Division by the product of the factors (each at least 1), rounded to nearest with ties to
    // even; a negative number rounds as its magnitude does.
    ExactInt roundedDivide(std::span<const uint64_t> factors) const;
    // Division by any non-zero divisor, rounded as above; the quotient's sign is the product's.
    ExactInt roundedDivide(const ExactInt& divisor) const;
    // Division by 2^bits (bits < 64), rounded as roundedDivide.
    ExactInt roundedShiftRight(unsigned bits) const;
    // Division by 10^decimals written with that many decimals ("-12.345").
    std::string toFixed(unsigned decimals, char decimalSeparator) const;

private:
    using Limbs = std::vector<uint64_t>;  // least significant first, no zero limb at the top
    int compare(const ExactInt& o) const;
    static int compareMagnitude(const Limbs& a, const Limbs& b);
    static Limbs addMagnitude(const Limbs& a, const Limbs& b);
    static Limbs subMagnitude(const Limbs& a, const Limbs& b);  // a >= b
    static void multiplySmall(Limbs& m, uint64_t factor, uint64_t addend);
    static uint64_t divideSmall(Limbs& m, uint64_t divisor);  // returns the remainder
    static void trim(Limbs& m);
    static void shiftLeftOne(Limbs& m, bool lowBit);
    void normalise();

    Limbs mag_;
    bool negative_ = false;
};

// n / d rounded as ExactInt::roundedDivide rounds, for figures that fit 128 bits; d above 0.
inline unsigned __int128 roundedDivide128(unsigned __int128 n, unsigned __int128 d) {
    unsigned __int128 q = n / d;
    const unsigned __int128 rest = n % d;
    if (rest > d - rest || (rest == d - rest && (q & 1) != 0)) ++q;
    return q;
}

}  // namespace planning
