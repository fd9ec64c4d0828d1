// libFuzzer: the private-profile text layer on any file. Input: section, key, another section,
// another key and a value, each ended by a NUL byte, then the file. After the write the key reads
// back as the value the layer keeps (line breaks as blanks, outer blanks and one pair of quotes
// gone, cut at 2047 bytes), every other line and key is as it was, and writing again changes
// nothing.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_text.h"

namespace {

// Names are the program's own: printable ASCII without brackets or '=', no outer blanks.
std::string nameFrom(std::string_view raw, const char* fallback) {
    std::string name;
    for (char c : raw)
        if ((c >= '!' && c <= '~' && c != '[' && c != ']' && c != '=') || (c == ' ' && !name.empty())) name += c;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name.empty() ? fallback : name;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string onOneLine(std::string_view value) {
    std::string line(value);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

// The value as a later read hands it out.
std::string asRead(std::string_view value) {
    const std::string line = onOneLine(value);
    std::string_view v = line;
    const std::string_view blanks = " \t\v\f";
    while (!v.empty() && blanks.find(v.front()) != std::string_view::npos) v.remove_prefix(1);
    while (!v.empty() && blanks.find(v.back()) != std::string_view::npos) v.remove_suffix(1);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    std::size_t kept = 0;
    while (kept < v.size()) {
        const auto b = static_cast<unsigned char>(v[kept]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const std::size_t width = lead && kept + 1 < v.size() ? 2 : 1;
        if (kept + width > profile::kMaxValueBytes) break;
        kept += width;
    }
    return std::string(v.substr(0, kept));
}

std::vector<std::string_view> linesOf(std::string_view file) {
    std::vector<std::string_view> lines;
    while (!file.empty()) {
        const std::size_t nl = file.find('\n');
        std::string_view line = file.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos) break;
        file.remove_prefix(nl + 1);
    }
    return lines;
}

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The written file is the old one with one key line replaced, one key line added, or a new
// section and its key line at the end; all lines end in CR LF. A byte-order mark at the start is
// no part of the first line and stays in front.
bool onlyTheKeyChanged(std::string_view before, std::string_view after, std::string_view section, std::string_view key,
                       std::string_view value) {
    if (!endsWith(after, "\r\n")) return false;
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    if (before.substr(0, 3) == kMark) {
        if (after.substr(0, 3) != kMark) return false;
        before.remove_prefix(3);
        after.remove_prefix(3);
    }
    const auto in = linesOf(before);
    const auto out = linesOf(after);
    const std::string tail = "=" + onOneLine(value);
    const std::string added = std::string(key) + tail;
    std::size_t same = 0;
    while (same < in.size() && same < out.size() && in[same] == out[same]) ++same;
    if (out.size() == in.size()) {
        if (same == in.size()) return true;
        if (!endsWith(out[same], tail) || in[same].find('=') == std::string_view::npos) return false;
        for (std::size_t i = same + 1; i < in.size(); ++i)
            if (in[i] != out[i]) return false;
        return true;
    }
    if (out.size() == in.size() + 1) {
        if (out[same] != added) return false;
        for (std::size_t i = same; i < in.size(); ++i)
            if (in[i] != out[i + 1]) return false;
        return true;
    }
    return out.size() == in.size() + 2 && same == in.size() && out[same] == "[" + std::string(section) + "]" &&
           out[same + 1] == added;
}

std::string_view nextField(std::string_view& rest) {
    const std::size_t nul = rest.find('\0');
    const std::string_view field = rest.substr(0, nul);
    rest.remove_prefix(nul == std::string_view::npos ? rest.size() : nul + 1);
    return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string section = nameFrom(nextField(rest), "Frequency");
    const std::string key = nameFrom(nextField(rest), "LocalOutput");
    const std::string otherSection = nameFrom(nextField(rest), "SD");
    const std::string otherKey = nameFrom(nextField(rest), "Mode");
    const std::string value(nextField(rest));
    const std::string_view file = rest;

    const std::string written = profile::withValue(file, section, key, value);
    if (!onlyTheKeyChanged(file, written, section, key, value)) std::abort();
    if (profile::findValue(written, section, key) != asRead(value)) std::abort();
    if (profile::withValue(written, section, key, value) != written) std::abort();
    if (!(sameName(otherSection, section) && sameName(otherKey, key)) &&
        profile::findValue(written, otherSection, otherKey) != profile::findValue(file, otherSection, otherKey))
        std::abort();
    return 0;
}
