#pragma once
// The text of a private-profile (INI) file in code page 932: looking keys up and setting them,
// the way the platform's GetPrivateProfileStringA / WritePrivateProfileStringA treat the file.
// Pure byte work, no I/O; names and values here are already code page 932.
//
// The rules: names compare without regard to ASCII case; only the first section of a name
// counts, and in it the first line of a key; CR LF and LF-only lines are both read. A set key's
// line is replaced in place (keeping the file's spelling of the name), a new key goes after the
// last non-blank line of its section, a new section with its keys goes to the end of the file.
// Every other line is kept; all lines come out ending in CR LF. A UTF-8 byte-order mark at the
// very start is no part of the first line and stays in front.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// The longest value a read hands out, in bytes (a 2048-byte buffer less its terminator).
inline constexpr std::size_t kMaxValueBytes = 2047;

struct KeyName {
    std::string section, key;
};

// A file with new values set: pieces to be written one after the other. They point into the
// ProfileText they came from, which must outlive them, and into this object.
struct Rendering {
    std::vector<std::string_view> pieces;
    bool unchanged = false;  // the pieces spell exactly the file that was parsed
    std::string joined() const;

    std::deque<std::string> made;  // the new lines (a deque keeps them in place as it grows)
};

// A file parsed once, in one pass, for a fixed list of keys.
class ProfileText {
public:
    // keys: every key that will be looked up or set, in the order a save sets them.
    ProfileText(std::string bytes, std::vector<KeyName> keys);
    ProfileText(const ProfileText&) = delete;
    ProfileText& operator=(const ProfileText&) = delete;

    // Key i's value with surrounding blanks and one pair of matching surrounding quotes removed,
    // cut to kMaxValueBytes without splitting a double-byte character; nullopt when absent.
    std::optional<std::string> value(std::size_t i) const;

    // The file after setting every key i to values[i], one key after the other in key order.
    // A line break inside a value becomes a blank, so a value can never add lines of its own.
    Rendering render(const std::vector<std::string>& values) const;

private:
    struct Span {
        std::size_t begin = 0, end = 0;
    };
    struct KeyLine {
        bool found = false;
        std::size_t begin = 0, next = 0;  // the whole line, its line break included
        Span name, value;                 // trimmed
    };
    struct Section {
        std::string name;
        bool found = false;
        std::size_t insertAt = 0;  // just after its last non-blank line
    };
    struct Line {
        std::size_t begin = 0, first = 0, next = 0;  // start, first non-blank byte, next line
        std::string_view body;                       // trimmed
    };

    std::string_view body() const { return std::string_view(bytes_).substr(bom_); }
    std::string_view at(Span s) const { return body().substr(s.begin, s.end - s.begin); }
    void scan();
    std::optional<Line> nextHeaderLine(std::size_t from) const;
    std::optional<Line> nextContentLine(std::size_t from) const;
    Line lineFrom(std::size_t begin, std::size_t first) const;
    int onLine(const Line& line, int section);
    int claimSection(std::string_view name);
    bool emitOriginal(Rendering& out, std::size_t from, std::size_t to) const;

    std::string bytes_;
    std::size_t bom_ = 0;  // bytes of the byte-order mark in front
    std::vector<KeyName> keys_;
    std::vector<int> sectionOf_;  // per key, its index in sections_
    std::vector<KeyLine> found_;  // per key
    std::vector<Section> sections_;
};

// One key of a whole file, for single lookups: ProfileText(file, {{section, key}}).value(0).
std::optional<std::string> findValue(std::string_view file, std::string_view section, std::string_view key);

// The file's bytes after setting one key.
std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value);

}  // namespace profile
