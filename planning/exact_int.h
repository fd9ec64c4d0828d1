#pragma once
// A signed integer wide enough for products of the plan's 64-bit quantities (up to 2^255 in magnitude),
// used where results must be exact rather than wrapped.
#include <array>
#include <cstdint>
#include <string>

namespace planning {

class ExactInt {
public:
    ExactInt() = default;
    explicit ExactInt(int64_t v);
    static ExactInt fromInt128(__int128 v);

    ExactInt operator*(const ExactInt& o) const;
    ExactInt operator+(const ExactInt& o) const;
    ExactInt operator-(const ExactInt& o) const;

    // Division by 2^bits, rounded to nearest with ties to even.
    ExactInt roundedShiftRight(unsigned bits) const;
    // Division by 10^decimals written with that many decimals ("-12.345").
    std::string toFixed(unsigned decimals, char decimalSeparator) const;

private:
    using Limbs = std::array<uint64_t, 4>;
    static int compareMagnitude(const Limbs& a, const Limbs& b);
    static Limbs addMagnitude(const Limbs& a, const Limbs& b);
    static Limbs subMagnitude(const Limbs& a, const Limbs& b);  // a >= b
    bool isZero() const;
    void normaliseZero();

    Limbs mag_{};
    bool negative_ = false;
};

}  // namespace planning
