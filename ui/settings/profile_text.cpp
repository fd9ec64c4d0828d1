#include "ui/settings/profile_text.h"

#include <vector>

namespace profile {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// First byte of a double-byte character in code page 932.
bool isLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Trail bytes of code page 932 are never blanks, so trimming byte by byte is safe.
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters fold; the bytes of a double-byte character compare exactly (a trail byte may
// look like an ASCII letter).
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

enum class Kind { Other, Section, Key };

struct Line {
    std::string_view text;  // without its line break
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

Line classify(std::string_view text) {
    Line line;
    line.text = text;
    const std::string_view body = trimmed(text);
    if (!body.empty() && body.front() == '[') {
        for (std::size_t i = 1; i < body.size(); ++i) {
            if (body[i] == ']') {
                line.kind = Kind::Section;
                line.name = trimmed(body.substr(1, i - 1));
                return line;
            }
            if (isLeadByte(body[i])) ++i;
        }
        return line;  // no closing bracket: an ordinary line
    }
    // '=' is never a trail byte, so a plain search finds the real one.
    const std::size_t eq = body.find('=');
    if (eq != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = trimmed(body.substr(0, eq));
        line.value = trimmed(body.substr(eq + 1));
    }
    return line;
}

std::vector<Line> splitLines(std::string_view file) {
    std::vector<Line> lines;
    while (!file.empty()) {
        const std::size_t nl = file.find('\n');
        std::string_view text = file.substr(0, nl);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        lines.push_back(classify(text));
        if (nl == std::string_view::npos) break;
        file.remove_prefix(nl + 1);
    }
    return lines;
}

struct Place {
    std::size_t header = 0;  // index of the section's header line
    std::size_t end = 0;     // one past its last line
};

std::optional<Place> findSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Section || !sameName(lines[i].name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != Kind::Section) ++end;
        return Place{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<Line>& lines, const Place& place, std::string_view key) {
    for (std::size_t i = place.header + 1; i < place.end; ++i)
        if (lines[i].kind == Kind::Key && sameName(lines[i].name, key)) return i;
    return std::nullopt;
}

std::string_view withoutQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

std::string_view cutToLimit(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size()) {
        const std::size_t width = (isLeadByte(v[i]) && i + 1 < v.size()) ? 2 : 1;
        if (i + width > kMaxValueBytes) break;
        i += width;
    }
    return v.substr(0, i);
}

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    for (char c : value) line += (c == '\r' || c == '\n') ? ' ' : c;
    return line;
}

}  // namespace

std::optional<std::string> findValue(std::string_view file, std::string_view section, std::string_view key) {
    const std::vector<Line> lines = splitLines(file);
    const auto place = findSection(lines, section);
    if (!place) return std::nullopt;
    const auto at = findKey(lines, *place, key);
    if (!at) return std::nullopt;
    return std::string(cutToLimit(withoutQuotes(lines[*at].value)));
}

std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value) {
    const std::vector<Line> lines = splitLines(file);
    std::vector<std::string> out;
    out.reserve(lines.size() + 2);
    for (const Line& l : lines) out.emplace_back(l.text);

    if (const auto place = findSection(lines, section)) {
        if (const auto at = findKey(lines, *place, key)) {
            // The file's own spelling of the name stays.
            out[*at] = keyLine(lines[*at].name, value);
        } else {
            std::size_t after = place->header;
            for (std::size_t i = place->header + 1; i < place->end; ++i)
                if (!trimmed(lines[i].text).empty()) after = i;
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(after + 1), keyLine(key, value));
        }
    } else {
        out.push_back("[" + std::string(section) + "]");
        out.push_back(keyLine(key, value));
    }

    std::string bytes;
    for (const std::string& l : out) {
        bytes += l;
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace profile
