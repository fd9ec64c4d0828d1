#pragma once
// The lines of a register header, one description for the writer and the reader: a date line
// "//" + date; then for each channel "//n  " + its description, and a word line
// "  0x" + 8 hexadecimal digits + ",    //" + name for each of kWordLines in turn. The writer
// ends each line in CR LF and writes upper-case digits; the reader takes LF too, blanks at line
// ends and lower-case digits.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "planning/channel_table.h"

namespace headerfile {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kCommentMark = "//";  // opens the date and the description lines

// A word of a channel: the name its line ends in, and the table's words it comes from.
struct WordLine {
    std::string_view name;
    std::array<std::uint32_t, planning::ChannelTable::kSlots> planning::ChannelTable::*words;
};
inline constexpr std::array<WordLine, 4> kWordLines{{
    {"RefReg", &planning::ChannelTable::RefReg},
    {"IntgReg", &planning::ChannelTable::IntgReg},
    {"FracReg", &planning::ChannelTable::FracReg},
    {"CPReg", &planning::ChannelTable::CPReg},
}};

// "//n  ", what a channel's description line starts with.
std::string descriptionLineStart(int channel);
// The description of a line that describes channel: "//n  " and the description, or "//n"
// alone for an empty one whose blanks went with the line end. nullopt for any other line.
std::optional<std::string_view> readDescriptionLine(std::string_view line, int channel);

// "  0xXXXXXXXX,    //name", without the line end.
std::string wordLine(std::uint32_t word, std::string_view name);
// The word of a line that wordLine writes for name, in either case of digits; nullopt for any
// other line.
std::optional<std::uint32_t> readWordLine(std::string_view line, std::string_view name);
// What such a line looks like, for a reader's error: "  0x…,    //name".
std::string wordLineShape(std::string_view name);

}  // namespace headerfile
