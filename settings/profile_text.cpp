// ProfileText: values and the file with new values set.
#include "settings/profile_text.h"

#include <algorithm>

#include "settings/profile_bytes.h"

namespace profile {

namespace {

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
    line += "\r\n";
    return line;
}

}  // namespace

std::optional<std::string> ProfileText::value(std::size_t i) const {
    if (!found_[i].found) return std::nullopt;
    return std::string(cutToLimit(withoutQuotes(found_[i].value)));
}

// Whole lines of the file; the last line of the file gets the line end it lacks.
void ProfileText::emitOriginal(Rendering& out, std::uint64_t from, std::uint64_t to) const {
    if (from >= to) return;
    out.pieces.push_back({true, from, to, {}});
    if (to == offset_ && unterminated()) out.pieces.push_back({false, 0, 0, lastByte_ == '\r' ? "\n" : "\r\n"});
}

Rendering ProfileText::render(const std::vector<std::optional<std::string>>& values) const {
    struct Edit {
        std::uint64_t begin = 0, end = 0;  // the original bytes it replaces (none for an insertion)
        std::vector<std::string_view> lines;
    };
    Rendering out;
    std::vector<Edit> edits;
    std::vector<std::vector<std::string_view>> newSections;  // in the order of their first key
    std::vector<int> editOf(sections_.size(), -1), newSectionOf(sections_.size(), -1);
    bool same = crLfOnly_ && !unterminated();
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (!values[i]) continue;
        const KeyLine& k = found_[i];
        const auto s = static_cast<std::size_t>(sectionOf_[i]);
        const std::string& line = out.made.emplace_back(keyLine(k.found ? k.name : keys_[i].key, *values[i]));
        if (k.found) {
            same = same && line == k.line;
            edits.push_back({k.begin, k.next, {line}});
            continue;
        }
        same = false;
        if (sections_[s].found) {
            if (editOf[s] < 0) {
                editOf[s] = static_cast<int>(edits.size());
                edits.push_back({sections_[s].insertAt, sections_[s].insertAt, {}});
            }
            edits[static_cast<std::size_t>(editOf[s])].lines.push_back(line);
        } else {
            if (newSectionOf[s] < 0) {
                newSectionOf[s] = static_cast<int>(newSections.size());
                newSections.push_back({out.made.emplace_back("[" + keys_[i].section + "]\r\n")});
            }
            newSections[static_cast<std::size_t>(newSectionOf[s])].push_back(line);
        }
    }
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.begin != b.begin ? a.begin < b.begin : a.end < b.end; });

    const auto emitLines = [&](const std::vector<std::string_view>& lines) {
        for (std::string_view l : lines) out.pieces.push_back({false, 0, 0, l});
    };
    std::uint64_t cursor = 0;
    for (const Edit& e : edits) {
        emitOriginal(out, cursor, e.begin);
        emitLines(e.lines);
        cursor = e.end;
    }
    emitOriginal(out, cursor, offset_);
    for (const auto& lines : newSections) emitLines(lines);
    out.unchanged = same;
    out.crLfOnly = crLfOnly_;
    return out;
}

std::string_view withCrLf(std::string_view bytes, char previous, std::string& scratch) {
    if (bytes.empty()) return bytes;
    std::size_t bare = (bytes.front() == '\n' && previous != '\r') ? 0 : nextBareLineFeed(bytes, 1);
    if (bare == bytes.size()) return bytes;
    scratch.clear();
    for (std::size_t from = 0;;) {
        scratch.append(bytes, from, bare - from);
        if (bare == bytes.size()) return scratch;
        scratch += '\r';
        from = bare;
        bare = nextBareLineFeed(bytes, bare + 1);
    }
}

namespace {

// The rendering spelled out, its original pieces taken from file.
std::string spelledOut(const Rendering& rendering, std::string_view file) {
    std::string out, scratch;
    for (const Rendering::Piece& p : rendering.pieces) {
        if (!p.original) {
            out += p.text;
            continue;
        }
        const char previous = p.begin > 0 ? file[p.begin - 1] : '\n';
        out += withCrLf(file.substr(p.begin, p.end - p.begin), previous, scratch);
    }
    return out;
}

}  // namespace

std::optional<std::string> findValue(std::string_view file, std::string_view section, std::string_view key) {
    return ProfileText(file, {{std::string(section), std::string(key)}}).value(0);
}

std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value) {
    const ProfileText text(file, {{std::string(section), std::string(key)}});
    return spelledOut(text.render({std::string(value)}), file);
}

}  // namespace profile
