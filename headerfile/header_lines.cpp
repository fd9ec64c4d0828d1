#include "headerfile/header_lines.h"

#include <charconv>

#include "planning/number_format.h"

namespace headerfile {
namespace {

constexpr std::string_view kDescriptionGap = "  ";  // between "//n" and the description
constexpr std::string_view kWordHead = "  0x", kWordTail = ",    //";
constexpr std::size_t kWordDigits = 8;

std::string channelMark(int channel) { return std::string(kCommentMark) + std::to_string(channel); }

}  // namespace

std::string descriptionLineStart(int channel) { return channelMark(channel) + std::string(kDescriptionGap); }

std::optional<std::string_view> readDescriptionLine(std::string_view line, int channel) {
    const std::string mark = channelMark(channel);
    if (line == mark) return std::string_view();
    const std::string start = descriptionLineStart(channel);
    if (line.substr(0, start.size()) != start) return std::nullopt;
    return line.substr(start.size());
}

std::string wordLine(std::uint32_t word, std::string_view name) {
    std::string line(kWordHead);
    line += planning::hex8(word);
    line += kWordTail;
    line += name;
    return line;
}

std::optional<std::uint32_t> readWordLine(std::string_view line, std::string_view name) {
    if (line.size() != kWordHead.size() + kWordDigits + kWordTail.size() + name.size()) return std::nullopt;
    if (line.substr(0, kWordHead.size()) != kWordHead ||
        line.substr(kWordHead.size() + kWordDigits, kWordTail.size()) != kWordTail ||
        line.substr(kWordHead.size() + kWordDigits + kWordTail.size()) != name)
        return std::nullopt;
    const std::string_view digits = line.substr(kWordHead.size(), kWordDigits);
    std::uint32_t word = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), word, 16);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return word;
}

std::string wordLineShape(std::string_view name) {
    return std::string(kWordHead) + "…" + std::string(kWordTail) + std::string(name);
}

}  // namespace headerfile
