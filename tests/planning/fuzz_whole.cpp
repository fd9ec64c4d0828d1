// libFuzzer: the whole-number text, checked against an independent reading through strtoll.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "planning/error_texts.h"
#include "planning/number_text.h"

namespace {

// Leading blanks, sign, "$"/"x"/"X"/"0x"/"0X" or decimal digits, nothing after, signed 32-bit.
bool reference(const std::string& text, int32_t& out) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    std::string sign;
    if (text[i] == '+' || text[i] == '-') sign = text[i++];
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    const std::string digits = text.substr(i);
    const char* allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return false;
    const size_t significant = digits.find_first_not_of('0');
    if (significant != std::string::npos && digits.size() - significant > 12) return false;
    const long long v = std::strtoll((sign + digits).c_str(), nullptr, base);
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = planning::tryParseWhole(text);
    int32_t expected = 0;
    const bool accepted = text.find('\0') == std::string::npos ? reference(text, expected) : false;
    if (text.find('\0') == std::string::npos && (value.has_value() != accepted || (accepted && *value != expected)))
        std::abort();
    try {
        const int32_t thrown = planning::parseWhole(text);
        if (!value || thrown != *value) std::abort();
    } catch (const text::VtError& e) {
        // what() ends at a NUL byte, so only NUL-free texts can be compared whole.
        const bool comparable = text.find('\0') == std::string::npos;
        if (value || (comparable && std::string(e.what()) != "'" + text + "' は整数ではありません")) std::abort();
    }
    return 0;
}
