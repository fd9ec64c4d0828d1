#pragma once
// The text of a private-profile (INI) file in code page 932: looking a key up and writing one,
// the way the platform's GetPrivateProfileStringA / WritePrivateProfileStringA treat the file.
// Pure byte work, no I/O; names and values here are already code page 932.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// The longest value a read hands out, in bytes (a 2048-byte buffer less its terminator).
inline constexpr std::size_t kMaxValueBytes = 2047;

// The value of key in the first section named section (names compare without regard to ASCII
// case), with surrounding blanks and one pair of matching surrounding quotes removed, cut to
// kMaxValueBytes without splitting a double-byte character. nullopt when the section or the key
// is absent. CR LF and LF-only lines are both read.
std::optional<std::string> findValue(std::string_view file, std::string_view section, std::string_view key);

// The file's bytes after setting key to value: an existing key line is replaced in place, a new
// key goes after the last non-blank line of its section, a new section with its key goes to the
// end of the file. Every other line is kept; all lines come out ending in CR LF. A line break
// inside value becomes a blank, so a value can never add lines of its own.
std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value);

}  // namespace profile
