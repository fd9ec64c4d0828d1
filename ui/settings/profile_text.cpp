#include "ui/settings/profile_text.h"

#include <algorithm>
#include <cstring>

#include "ui/settings/profile_bytes.h"

namespace profile {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

// The name between the brackets when body is a section header.
std::optional<std::string_view> headerName(std::string_view body) {
    if (body.empty() || body.front() != '[') return std::nullopt;
    for (std::size_t i = 1; i < body.size(); ++i) {
        if (body[i] == ']') return trimmed(body.substr(1, i - 1));
        if (isLeadByte(body[i])) ++i;
    }
    return std::nullopt;  // no closing bracket: an ordinary line
}

}  // namespace

std::string Rendering::joined() const {
    std::string out;
    std::size_t size = 0;
    for (std::string_view p : pieces) size += p.size();
    out.reserve(size);
    for (std::string_view p : pieces) out += p;
    return out;
}

ProfileText::ProfileText(std::string bytes, std::vector<KeyName> keys) : bytes_(std::move(bytes)), keys_(std::move(keys)) {
    if (std::string_view(bytes_).starts_with(kByteOrderMark)) bom_ = kByteOrderMark.size();
    found_.resize(keys_.size());
    for (const KeyName& k : keys_) {
        const auto same = [&](const Section& s) { return sameName(s.name, k.section); };
        auto it = std::find_if(sections_.begin(), sections_.end(), same);
        if (it == sections_.end()) it = sections_.insert(sections_.end(), Section{k.section});
        sectionOf_.push_back(static_cast<int>(it - sections_.begin()));
    }
    scan();
}

// One pass. Outside the sections looked for only the next section header matters, and that is
// a search for '[' at the start of a line; inside them every non-blank line is looked at.
void ProfileText::scan() {
    int section = -1;
    std::size_t pos = 0;
    const auto allFound = [&] { return std::all_of(sections_.begin(), sections_.end(), [](auto& s) { return s.found; }); };
    while (pos < body().size()) {
        if (section < 0 && allFound()) return;
        const auto line = section < 0 ? nextHeaderLine(pos) : nextContentLine(pos);
        if (!line) return;
        section = onLine(*line, section);
        pos = line->next;
    }
}

ProfileText::Line ProfileText::lineFrom(std::size_t begin, std::size_t first) const {
    const std::string_view b = body();
    const void* lf = std::memchr(b.data() + first, '\n', b.size() - first);
    const std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - b.data()) : b.size();
    return Line{begin, first, lf ? end + 1 : end, trimmed(b.substr(first, end - first))};
}

// from is the start of a line. A blank or a line feed is never a trail byte, so a '[' with only
// blanks between it and the start of its line really starts the line's text.
std::optional<ProfileText::Line> ProfileText::nextHeaderLine(std::size_t from) const {
    const std::string_view b = body();
    for (std::size_t i = from; i < b.size();) {
        const void* hit = std::memchr(b.data() + i, '[', b.size() - i);
        if (!hit) return std::nullopt;
        const auto bracket = static_cast<std::size_t>(static_cast<const char*>(hit) - b.data());
        std::size_t begin = bracket;
        while (begin > from && isBlank(b[begin - 1])) --begin;
        if (begin == from || b[begin - 1] == '\n') {
            const Line line = lineFrom(begin, bracket);
            if (headerName(line.body)) return line;
        }
        i = bracket + 1;
    }
    return std::nullopt;
}

// from is the start of a line; blank lines are passed over.
std::optional<ProfileText::Line> ProfileText::nextContentLine(std::size_t from) const {
    const std::string_view b = body();
    const std::size_t first = skipBlankLines(b, from);
    if (first >= b.size()) return std::nullopt;
    const void* lf = ::memrchr(b.data() + from, '\n', first - from);
    const std::size_t begin = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - b.data()) + 1 : from;
    return lineFrom(begin, first);
}

// Takes in one non-blank line; returns the section looked for that the next line is in (-1: none).
int ProfileText::onLine(const Line& line, int section) {
    if (const auto name = headerName(line.body)) {
        const int s = claimSection(*name);
        if (s >= 0) sections_[static_cast<std::size_t>(s)].insertAt = line.next;
        return s;
    }
    if (section < 0) return section;
    sections_[static_cast<std::size_t>(section)].insertAt = line.next;
    if (line.body.front() == '[') return section;
    const std::size_t eq = line.body.find('=');  // '=' is never a trail byte
    if (eq == std::string_view::npos) return section;
    const std::string_view name = trimmed(line.body.substr(0, eq));
    const std::string_view value = trimmed(line.body.substr(eq + 1));
    const auto offset = [&](std::string_view s) { return static_cast<std::size_t>(s.data() - body().data()); };
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (sectionOf_[i] != section || found_[i].found || !sameName(name, keys_[i].key)) continue;
        found_[i] = KeyLine{true, line.begin, line.next, {offset(name), offset(name) + name.size()},
                            {offset(value), offset(value) + value.size()}};
    }
    return section;
}

// Only the first section of a name counts.
int ProfileText::claimSection(std::string_view name) {
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (!sameName(name, sections_[s].name)) continue;
        if (sections_[s].found) return -1;
        sections_[s].found = true;
        return static_cast<int>(s);
    }
    return -1;
}

std::optional<std::string> ProfileText::value(std::size_t i) const {
    if (!found_[i].found) return std::nullopt;
    return std::string(cutToLimit(withoutQuotes(at(found_[i].value))));
}

// Whole lines from..to, each ending in CR LF. Returns whether that changed any byte.
bool ProfileText::emitOriginal(Rendering& out, std::size_t from, std::size_t to) const {
    if (from >= to) return false;
    const std::string_view upTo = body().substr(0, to);
    const bool unterminated = to == body().size() && upTo.back() != '\n';
    const std::string_view ending = upTo.back() == '\r' ? "\n" : "\r\n";
    std::size_t bare = nextBareLineFeed(upTo, from);
    if (bare == to) {
        out.pieces.push_back(upTo.substr(from));
        if (unterminated) out.pieces.push_back(ending);
        return unterminated;
    }
    std::string& copy = out.made.emplace_back();
    for (std::size_t at = from;;) {
        copy.append(upTo, at, bare - at);
        if (bare == to) break;
        copy += '\r';
        at = bare;
        bare = nextBareLineFeed(upTo, bare + 1);
    }
    if (unterminated) copy += ending;
    out.pieces.push_back(copy);
    return true;
}

Rendering ProfileText::render(const std::vector<std::string>& values) const {
    struct Edit {
        std::size_t begin = 0, end = 0;  // the original bytes it replaces (none for an insertion)
        std::vector<std::string_view> lines;
    };
    Rendering out;
    std::vector<Edit> edits;
    std::vector<std::vector<std::string_view>> newSections;  // in the order of their first key
    std::vector<int> editOf(sections_.size(), -1), newSectionOf(sections_.size(), -1);
    bool unchanged = true;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const KeyLine& k = found_[i];
        const auto s = static_cast<std::size_t>(sectionOf_[i]);
        const std::string_view name = k.found ? at(k.name) : std::string_view(keys_[i].key);  // the file's spelling stays
        const std::string& line = out.made.emplace_back(keyLine(name, values[i]));
        if (k.found) {
            unchanged = unchanged && line == body().substr(k.begin, k.next - k.begin);
            edits.push_back({k.begin, k.next, {line}});
            continue;
        }
        unchanged = false;
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

    if (bom_ > 0) out.pieces.push_back(kByteOrderMark);
    std::size_t cursor = 0;
    for (const Edit& e : edits) {
        unchanged = !emitOriginal(out, cursor, e.begin) && unchanged;
        out.pieces.insert(out.pieces.end(), e.lines.begin(), e.lines.end());
        cursor = e.end;
    }
    unchanged = !emitOriginal(out, cursor, body().size()) && unchanged;
    for (const auto& lines : newSections) out.pieces.insert(out.pieces.end(), lines.begin(), lines.end());
    out.unchanged = unchanged;
    return out;
}

std::optional<std::string> findValue(std::string_view file, std::string_view section, std::string_view key) {
    return ProfileText(std::string(file), {{std::string(section), std::string(key)}}).value(0);
}

std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value) {
    const ProfileText text(std::string(file), {{std::string(section), std::string(key)}});
    return text.render({std::string(value)}).joined();
}

}  // namespace profile
