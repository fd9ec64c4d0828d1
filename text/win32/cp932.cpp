// Code page 932 on Windows: the system's own tables (MultiByteToWideChar, WideCharToMultiByte),
// one character at a time so that each one that cannot be converted becomes one '?', as iconv's
// conversion does it on Linux.
#include <windows.h>

#include "text/cp932.h"

namespace text {
namespace {

constexpr UINT kCp932 = 932;

size_t utf8SequenceLength(const unsigned char* p, size_t left) {
    const unsigned char lead = p[0];
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    size_t n = 1;
    while (n < length && n < left && (p[n] & 0xC0) == 0x80) ++n;
    return n;
}

size_t cp932SequenceLength(const unsigned char* p, size_t left) {
    const unsigned char lead = p[0];
    const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (doubleByte && left >= 2) {
        const unsigned char trail = p[1];
        if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) return 2;
    }
    return 1;
}

// One character of code page `from` in UTF-16; 0 units when it is none.
int toWide(UINT from, std::string_view c, wchar_t (&wide)[4]) {
    return ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, c.data(), static_cast<int>(c.size()), wide, 4);
}

// Converts in from code page `from` to `to`, character by character.
template <typename Length>
std::string convert(std::string_view in, UINT from, UINT to, Length length) {
    std::string out;
    out.reserve(in.size() * 2 + 4);
    while (!in.empty()) {
        const size_t n = length(reinterpret_cast<const unsigned char*>(in.data()), in.size());
        wchar_t wide[4];
        const int units = toWide(from, in.substr(0, n), wide);
        char bytes[8];
        BOOL lossy = FALSE;
        const int made =
            units == 0 ? 0
            : to == CP_UTF8
                ? ::WideCharToMultiByte(to, 0, wide, units, bytes, sizeof bytes, nullptr, nullptr)
                : ::WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr, &lossy);
        if (made > 0 && !lossy)
            out.append(bytes, static_cast<size_t>(made));
        else
            out.push_back('?');
        in.remove_prefix(n);
    }
    return out;
}

}  // namespace

std::string utf8ToCp932(std::string_view utf8) { return convert(utf8, CP_UTF8, kCp932, utf8SequenceLength); }

std::string cp932ToUtf8(std::string_view cp932) { return convert(cp932, kCp932, CP_UTF8, cp932SequenceLength); }

}  // namespace text
