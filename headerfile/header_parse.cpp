#include "headerfile/header_parse.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

namespace headerfile {
namespace {

constexpr std::array<std::string_view, 4> kWordNames = {"RefReg", "IntgReg", "FracReg", "CPReg"};

// The file's lines without their ends and without blanks at their ends. A final line end
// closes the last line rather than opening an empty one.
std::vector<std::string_view> linesOf(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

std::optional<uint32_t> hexWord(std::string_view digits) {
    if (digits.size() != 8) return std::nullopt;
    uint32_t word = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), word, 16);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return word;
}

// "  0xXXXXXXXX,    //Name"
std::optional<uint32_t> constantLine(std::string_view line, std::string_view name) {
    constexpr std::string_view head = "  0x", tail = ",    //";
    if (line.size() != head.size() + 8 + tail.size() + name.size()) return std::nullopt;
    if (line.substr(0, head.size()) != head || line.substr(head.size() + 8, tail.size()) != tail ||
        line.substr(head.size() + 8 + tail.size()) != name)
        return std::nullopt;
    return hexWord(line.substr(head.size(), 8));
}

// "//n  description", or "//n" alone for an empty description whose blanks went with the line end.
std::optional<std::string> descriptionLine(std::string_view line, int channel) {
    const std::string mark = "//" + std::to_string(channel);
    if (line == mark) return std::string();
    if (line.substr(0, mark.size() + 2) != mark + "  ") return std::nullopt;
    return std::string(line.substr(mark.size() + 2));
}

}  // namespace

HeaderFormatError::HeaderFormatError(int lineNumber, const std::string& expected)
    : text::VtError("line " + std::to_string(lineNumber) + ": expected " + expected), line(lineNumber) {}

planning::ChannelTable parseHeader(std::string_view bytes) {
    const std::vector<std::string_view> lines = linesOf(bytes);
    const auto at = [&](size_t i) { return i < lines.size() ? lines[i] : std::string_view("\n"); };
    const auto fail = [](size_t i, const std::string& expected) { throw HeaderFormatError(int(i) + 1, expected); };

    if (at(0).substr(0, 2) != "//") fail(0, "`//` and the date");
    planning::ChannelTable table;
    size_t i = 1;
    for (int n = 0; n < planning::ChannelTable::kChannels; ++n) {
        const auto slot = static_cast<size_t>(n);
        const auto description = descriptionLine(at(i), n);
        if (!description) fail(i, "`//" + std::to_string(n) + "  ` and the channel's description");
        table.ChannelDescription[slot] = *description;
        ++i;
        const std::array<uint32_t*, 4> words = {&table.RefReg[slot], &table.IntgReg[slot], &table.FracReg[slot],
                                                &table.CPReg[slot]};
        for (size_t k = 0; k < kWordNames.size(); ++k, ++i) {
            const auto word = constantLine(at(i), kWordNames[k]);
            if (!word) fail(i, "`  0x…,    //" + std::string(kWordNames[k]) + "`");
            *words[k] = *word;
        }
    }
    for (; i < lines.size(); ++i)
        if (!lines[i].empty()) fail(i, "the end of the file");
    return table;
}

}  // namespace headerfile
