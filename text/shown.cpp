#include "text/shown.h"

#include <algorithm>

namespace text {
namespace {

// The length in bytes of the UTF-8 character text begins with, and its code point in cp; 0 for
// none (a stray or cut sequence, an overlong one, a surrogate, beyond U+10FFFF).
std::size_t utf8Char(std::string_view text, char32_t& cp) {
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto c = static_cast<unsigned char>(text[0]);
    const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    cp = length == 1 ? c : c & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return cp < kLeast[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF ? 0 : length;
}

// Control characters (C0, DEL, C1) and the bidirectional controls, which reorder on a terminal
// the text that follows them.
bool isControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

std::string shown(std::string_view text, std::size_t maxChars) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        if (chars == maxChars) return out + "…";
        char32_t cp = 0;
        const std::size_t length = utf8Char(text.substr(i), cp);
        if (length != 0 && !isControl(cp)) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        for (const std::size_t end = i + std::max<std::size_t>(length, 1); i < end; ++i) {
            static constexpr char kHex[] = "0123456789abcdef";
            const auto byte = static_cast<unsigned char>(text[i]);
            out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return out;
}

}  // namespace text
