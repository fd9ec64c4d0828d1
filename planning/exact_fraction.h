#pragma once
// An exact fraction whose denominator is a product of small factors. The figures of a plan's
// words need no other: R, 2^24 and the powers of ten of the decimals typed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "planning/exact_int.h"

namespace planning {

class ExactFraction {
public:
    ExactFraction() = default;
    explicit ExactFraction(ExactInt numerator, std::vector<uint64_t> denominator = {});
    // A decimal text as the search reads it, times 10^scale (6 turns MHz into Hz), every digit
    // kept; nullopt where the search refuses the text.
    static std::optional<ExactFraction> fromDecimal(std::string_view text, char decimalSeparator, int scale);

    ExactFraction operator*(const ExactInt& factor) const;
    ExactFraction dividedBy(uint64_t factor) const;  // factor at least 1
    ExactFraction operator-(const ExactFraction& o) const;
    ExactFraction magnitude() const;

    // this / o rounded to the nearest whole number, an exact half to the even one; o not zero.
    ExactInt roundedQuotient(const ExactFraction& o) const;

    bool isPositive() const { return !num_.isNegative() && !num_.isZero(); }
    // The numerator and the denominator when both fit 128 bits, for arithmetic that allocates nothing.
    std::optional<std::pair<__int128, __int128>> toInt128Parts() const;
    // Exactly below value, not the rounded text.
    bool below(int64_t value) const;
    // With that many decimals, an exact half to the even neighbour ("-26.226").
    std::string toFixed(unsigned decimals, char decimalSeparator) const;

private:
    ExactInt denominatorValue() const;

    ExactInt num_;
    std::vector<uint64_t> den_;  // the factors; none is 1
};

}  // namespace planning
