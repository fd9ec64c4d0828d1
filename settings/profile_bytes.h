#pragma once
// Byte-level helpers of the INI text in code page 932: blanks, names, and the fast scans that
// keep a file of millions of lines linear and cheap.
#include <cstddef>
#include <string_view>

namespace profile {

// The blanks that surround names and values. No trail byte of code page 932 is one of them.
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// First byte of a double-byte character in code page 932.
inline bool isLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string_view trimmed(std::string_view s);

// ASCII letters fold; the bytes of a double-byte character compare exactly (a trail byte may
// look like an ASCII letter).
bool sameName(std::string_view a, std::string_view b);

// The first position at or after from that holds neither a blank nor a line feed (text.size()
// when there is none).
std::size_t skipBlankLines(std::string_view text, std::size_t from);

// The first line feed at or after from that is not preceded by a carriage return (text.size()
// when there is none). Position 0 counts as preceded by nothing.
std::size_t nextBareLineFeed(std::string_view text, std::size_t from);

}  // namespace profile
