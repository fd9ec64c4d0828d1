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

void skipBlanks(std::string_view text, size_t& i) {
    while (i < text.size() && text[i] == ' ') ++i;
}

// An optional sign at i, taken; true for '-'.
bool takeSign(std::string_view text, size_t& i) {
    if (i >= text.size() || (text[i] != '+' && text[i] != '-')) return false;
    return text[i++] == '-';
}

// The mantissa's digits and separator from i on; false when it holds no digit nor separator.
bool takeMantissa(std::string_view text, size_t& i, char decimalSeparator, ExactDecimal& parts) {
    bool seenMantissa = false;
    bool seenSeparator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            seenMantissa = true;
            if (!parts.significant.empty() || c != '0') parts.significant.push_back(c);
            if (seenSeparator) --parts.exponent;
        } else if (c == decimalSeparator && !seenSeparator) {
            seenMantissa = true;  // a lone separator reads as zero
            seenSeparator = true;
        } else {
            break;
        }
    }
    return seenMantissa;
}

// "E" or "e", a sign and digits, if they are at i.
void takeExponent(std::string_view text, size_t& i, ExactDecimal& parts) {
    if (i >= text.size() || (text[i] != 'E' && text[i] != 'e')) return;
    ++i;
    const bool negativeExponent = takeSign(text, i);
    // Digits are taken only while the exponent is below the limit; any left over make the
    // text something other than a number.
    int written = 0;
    for (; i < text.size() && isDigit(text[i]) && written < kExponentReadLimit; ++i)
        written = written * 10 + (text[i] - '0');
    parts.exponent += negativeExponent ? -written : written;
}

std::optional<ExactDecimal> decimalParts(std::string_view text, char decimalSeparator) {
    ExactDecimal parts;
    size_t i = 0;
    skipBlanks(text, i);
    parts.negative = takeSign(text, i);
    if (!takeMantissa(text, i, decimalSeparator, parts)) return std::nullopt;
    takeExponent(text, i, parts);
    skipBlanks(text, i);
    if (i != text.size()) return std::nullopt;
    return parts;
}

}  // namespace

std::optional<long double> tryParseDecimal(std::string_view text, char decimalSeparator) {
    std::optional<ExactDecimal> parts = decimalParts(text, decimalSeparator);
    if (!parts) return std::nullopt;
    long double value = 0;
    if (!parts->significant.empty()) {
        const int64_t magnitude = parts->exponent + static_cast<int64_t>(parts->significant.size()) - 1;
        if (magnitude >= kOverflowMagnitude) return std::nullopt;
        if (magnitude >= kUnderflowMagnitude) {
            // No decimal point in the normalised copy, so the locale cannot interfere;
            // strtold rounds correctly to the 64-bit significand.
            std::string normalised = std::move(parts->significant);
            normalised.push_back('e');
            normalised.append(std::to_string(parts->exponent));
            value = std::strtold(normalised.c_str(), nullptr);
            if (std::isinf(value)) return std::nullopt;
        }
    }
    return parts->negative ? -value : value;
}

std::optional<ExactDecimal> tryExactDecimal(std::string_view text, char decimalSeparator) {
    if (!tryParseDecimal(text, decimalSeparator)) return std::nullopt;
    return decimalParts(text, decimalSeparator);
}

long double parseDecimal(std::string_view text, char decimalSeparator) {
    if (auto value = tryParseDecimal(text, decimalSeparator)) return *value;
    throw text::VtError(notDecimalText(text));
}

std::optional<int32_t> tryParseWhole(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    skipBlanks(text, i);
    const bool negative = takeSign(text, i);
    int base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) return std::nullopt;
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
        if (magnitude > kMagnitudeLimit) return std::nullopt;
    }
    if (negative) return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    if (magnitude == kMagnitudeLimit) return std::nullopt;
    return static_cast<int32_t>(magnitude);
}

int32_t parseWhole(std::string_view text) {
    if (auto value = tryParseWhole(text)) return *value;
    throw text::VtError(notWholeText(text));
}

}  // namespace planning
