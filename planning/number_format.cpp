#include "planning/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace planning {
namespace {

constexpr int kSignificantDigits = 15;
constexpr int kSmallestFixedExponent = -4;  // 0.0001
constexpr int kLargestFixedExponent = 14;   // below 10^15

}  // namespace

std::string formatGeneral(double v, char decimalSeparator) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    if (v == 0) return "0";
    // to_chars rounds correctly and ignores the C locale: "d.ddddddddddddddde±x".
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v), std::chars_format::scientific,
                                      kSignificantDigits - 1);
    const std::string_view scientific(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e))
        if (c >= '0' && c <= '9') digits.push_back(c);
    const int exponent = std::stoi(std::string(scientific.substr(e + 1)));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = v < 0 ? "-" : "";
    if (exponent >= kSmallestFixedExponent && exponent <= kLargestFixedExponent) {
        if (exponent < 0) {
            text += '0';
            text += decimalSeparator;
            text.append(static_cast<size_t>(-exponent - 1), '0');
            text += digits;
        } else {
            const size_t integerDigits = static_cast<size_t>(exponent) + 1;
            if (digits.size() <= integerDigits) {
                text += digits;
                text.append(integerDigits - digits.size(), '0');
            } else {
                text.append(digits, 0, integerDigits);
                text += decimalSeparator;
                text.append(digits, integerDigits);
            }
        }
    } else {
        text += digits[0];
        if (digits.size() > 1) {
            text += decimalSeparator;
            text.append(digits, 1);
        }
        text += 'E';
        if (exponent < 0) text += '-';
        text += std::to_string(std::abs(exponent));
    }
    return text;
}

std::string formatInt(int64_t v) { return std::to_string(v); }

std::string hex8(uint32_t word) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(word));
    return buffer;
}

}  // namespace planning
