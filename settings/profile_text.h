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
//
// The file is taken in one pass, in pieces of any size, and is not kept: what a save needs of
// it is where the lines to replace and the places to insert are, so that it can copy the rest
// from the file itself.
#include <cstddef>
#include <cstdint>
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

// A file with new values set, as pieces to be written one after the other: ranges of the file
// that was taken in, and new text.
struct Rendering {
    struct Piece {
        bool original = false;
        std::uint64_t begin = 0, end = 0;  // the file's bytes, when original: whole lines
        std::string_view text;             // otherwise; points into made
    };
    std::vector<Piece> pieces;
    bool unchanged = false;        // the pieces spell exactly the file that was taken in
    bool crLfOnly = false;         // the original pieces need no change of their line ends
    std::deque<std::string> made;  // a deque keeps its strings in place as it grows
};

class ProfileText {
public:
    // keys: every key that will be looked up or set, in the order a save sets them.
    explicit ProfileText(std::vector<KeyName> keys);
    // The same, taking in a whole file at once.
    ProfileText(std::string_view file, std::vector<KeyName> keys);

    // Takes in the next bytes of the file and returns how many of them it has used up. The rest
    // (an unfinished line) must come again at the front of the next call, with more after it.
    // last: no more bytes follow; everything is used up.
    std::size_t feed(std::string_view bytes, bool last);

    // Key i's value with surrounding blanks and one pair of matching surrounding quotes removed,
    // cut to kMaxValueBytes without splitting a double-byte character; nullopt when absent.
    std::optional<std::string> value(std::size_t i) const;

    // The file after setting every key i to values[i], one key after the other in key order; a
    // key without a value stays as the file has it (an absent one is not added). A line break
    // inside a value becomes a blank, so a value can never add lines of its own. Original pieces
    // still need their line ends made CR LF (see withCrLf) as they are copied.
    Rendering render(const std::vector<std::optional<std::string>>& values) const;

private:
    struct KeyLine {
        bool found = false;
        std::uint64_t begin = 0, next = 0;  // the line, its line break included
        std::string name, value;            // trimmed; the name as the file spells it
        std::string line;                   // the line as it is, line break included
    };
    struct Section {
        std::string name;
        bool found = false;
        std::uint64_t insertAt = 0;  // just after its last non-blank line
    };
    struct Line {
        std::size_t begin = 0, next = 0;  // in the bytes fed; next = begin of the next line
        bool complete = false;            // it has its line feed
        std::string_view body;            // trimmed
    };

    Line lineFrom(std::string_view bytes, std::size_t begin, std::size_t first) const;
    std::optional<Line> nextHeaderLine(std::string_view bytes, std::size_t from) const;
    std::optional<Line> nextContentLine(std::string_view bytes, std::size_t from) const;
    void onLine(std::string_view bytes, const Line& line);
    int claimSection(std::string_view name);
    void noteLineEnds(std::string_view used);
    bool allSectionsFound() const;
    bool unterminated() const { return offset_ > bodyBegin_ && lastByte_ != '\n'; }
    void emitOriginal(Rendering& out, std::uint64_t from, std::uint64_t to) const;

    std::vector<KeyName> keys_;
    std::vector<int> sectionOf_;  // per key, its index in sections_
    std::vector<KeyLine> found_;  // per key
    std::vector<Section> sections_;
    int section_ = -1;             // the section looked for that the next line is in (-1: none)
    bool started_ = false;         // the byte-order mark has been looked for
    std::uint64_t bodyBegin_ = 0;  // file offset of the first line (after a byte-order mark)
    std::uint64_t offset_ = 0;     // file offset of the next byte fed
    char lastByte_ = '\n';         // of the bytes used up so far ('\n': none yet)
    bool crLfOnly_ = true;         // no line feed without its carriage return so far
};

// The bytes of whole lines with a CR put before every LF that has none; previous is the byte
// before them ('\n' at the start of a line). Returns bytes itself when nothing changes, else a
// view of scratch.
std::string_view withCrLf(std::string_view bytes, char previous, std::string& scratch);

// One key of a whole file, for single lookups: ProfileText(file, {{section, key}}).value(0).
std::optional<std::string> findValue(std::string_view file, std::string_view section, std::string_view key);

// The file's bytes after setting one key.
std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value);

}  // namespace profile
