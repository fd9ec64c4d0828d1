#pragma once
// The two text-to-number conversions that the search and the register encoding use.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace planning {

// Decimal number with the given decimal separator, correctly rounded to a 64-bit significand.
// Throws text::VtError "'%s' は浮動小数点数ではありません".
long double parseDecimal(std::string_view text, char decimalSeparator);
std::optional<long double> tryParseDecimal(std::string_view text, char decimalSeparator);

// A decimal number taken apart, exactly: value = -significant x 10^exponent when negative, else
// +significant x 10^exponent; significant holds digits without leading zeros ("" is zero).
struct ExactDecimal {
    bool negative = false;
    std::string significant;
    int64_t exponent = 0;
};
// The text as tryParseDecimal reads it, every digit kept; nullopt where tryParseDecimal refuses it.
std::optional<ExactDecimal> tryExactDecimal(std::string_view text, char decimalSeparator);

// Whole number: leading blanks, sign, decimal or "$", "x", "X", "0x", "0X" hexadecimal, signed 32-bit.
// Throws text::VtError "'%s' は整数ではありません".
int32_t parseWhole(std::string_view text);
std::optional<int32_t> tryParseWhole(std::string_view text);

}  // namespace planning
