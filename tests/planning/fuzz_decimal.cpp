// libFuzzer: the decimal-number text. Any input must give a value or the runtime's message, and an
// accepted text must read as the C library reads it.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = planning::tryParseDecimal(text, '.');
    try {
        const long double thrown = planning::parseDecimal(text, '.');
        if (!value || !(thrown == *value || (std::isnan(thrown) && std::isnan(*value)))) std::abort();
    } catch (const text::VtError& e) {
        // what() ends at a NUL byte, so only NUL-free texts can be compared whole.
        const bool comparable = text.find('\0') == std::string::npos;
        if (value || (comparable && std::string(e.what()) != "'" + text + "' は浮動小数点数ではありません"))
            std::abort();
    }
    if (!value) return 0;
    if (!std::isfinite(*value)) std::abort();
    // strtold takes the same plain forms (no lone separator, no NUL inside).
    if (text.find('\0') == std::string::npos) {
        char* end = nullptr;
        errno = 0;
        const long double reference = std::strtold(text.c_str(), &end);
        size_t rest = static_cast<size_t>(end - text.c_str());
        while (rest < text.size() && text[rest] == ' ') ++rest;
        if (rest == text.size() && end != text.c_str() && reference != *value) std::abort();
    }
    // The same text with a decimal comma reads the same under a comma separator.
    std::string comma = text;
    for (char& c : comma)
        if (c == '.')
            c = ',';
        else if (c == ',')
            c = '.';
    const auto commaValue = planning::tryParseDecimal(comma, ',');
    if (!commaValue || *commaValue != *value) std::abort();
    (void)planning::formatGeneral(static_cast<double>(*value), '.');
    return 0;
}
