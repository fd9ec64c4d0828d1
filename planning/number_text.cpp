#include "planning/number_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "planning/error_texts.h"

namespace planning {
namespace {

constexpr int kExponentReadLimit = 500;
// Beyond these decimal magnitudes the value certainly overflows / underflows the 80-bit format
// (largest about 1.19e4932, smallest subnormal about 3.6e-4951).
constexpr int64_t kOverflowMagnitude = 4933;
constexpr int64_t kUnderflowMagnitude = -4970;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<long double> tryParseDecimal(std::string_view text, char decimalSeparator)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // value = significant * 10^exponent, significant without leading zeros
    std::string significant;
    int64_t exponent = 0;
    bool seenMantissa = false;
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            seenMantissa = true;
            if (!significant.empty() || c != '0')
                significant.push_back(c);
            if (seenSeparator)
                --exponent;
        } else if (c == decimalSeparator && !seenSeparator) {
            seenMantissa = true;  // a lone separator reads as zero
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (!seenMantissa)
        return std::nullopt;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        // Digits are taken only while the exponent is below the limit; any left over make the
        // text something other than a number.
        int written = 0;
        for (; i < n && isDigit(text[i]) && written < kExponentReadLimit; ++i)
            written = written * 10 + (text[i] - '0');
        exponent += negativeExponent ? -written : written;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;

    long double value = 0;
    if (!significant.empty()) {
        const int64_t magnitude = exponent + static_cast<int64_t>(significant.size()) - 1;
        if (magnitude >= kOverflowMagnitude)
            return std::nullopt;
        if (magnitude >= kUnderflowMagnitude) {
            // No decimal point in the normalised copy, so the locale cannot interfere;
            // strtold rounds correctly to the 64-bit significand.
            std::string normalised = std::move(significant);
            normalised.push_back('e');
            normalised.append(std::to_string(exponent));
            value = std::strtold(normalised.c_str(), nullptr);
            if (std::isinf(value))
                return std::nullopt;
        }
    }
    return negative ? -value : value;
}

long double parseDecimal(std::string_view text, char decimalSeparator)
{
    if (auto value = tryParseDecimal(text, decimalSeparator))
        return *value;
    throw text::VtError(notDecimalText(text));
}

std::optional<int32_t> tryParseWhole(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    constexpr uint64_t kMagnitudeLimit = uint64_t{1} << 31;
    uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        int digit;
        if (isDigit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > kMagnitudeLimit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    if (magnitude == kMagnitudeLimit)
        return std::nullopt;
    return static_cast<int32_t>(magnitude);
}

int32_t parseWhole(std::string_view text)
{
    if (auto value = tryParseWhole(text))
        return *value;
    throw text::VtError(notWholeText(text));
}

}  // namespace planning
