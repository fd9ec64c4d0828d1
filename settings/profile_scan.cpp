// ProfileText: taking the file in, in one pass over pieces of any size.
#include <algorithm>
#include <cstring>

#include "settings/profile_bytes.h"
#include "settings/profile_text.h"

namespace profile {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The name between the brackets when body is a section header.
std::optional<std::string_view> headerName(std::string_view body) {
    if (body.empty() || body.front() != '[') return std::nullopt;
    for (std::size_t i = 1; i < body.size(); ++i) {
        if (body[i] == ']') return trimmed(body.substr(1, i - 1));
        if (isLeadByte(body[i])) ++i;
    }
    return std::nullopt;  // no closing bracket: an ordinary line
}

std::size_t afterLastLineFeed(std::string_view bytes, std::size_t from) {
    const void* lf = ::memrchr(bytes.data() + from, '\n', bytes.size() - from);
    return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) + 1 : from;
}

}  // namespace

ProfileText::ProfileText(std::vector<KeyName> keys) : keys_(std::move(keys)) {
    found_.resize(keys_.size());
    for (const KeyName& k : keys_) {
        const auto same = [&](const Section& s) { return sameName(s.name, k.section); };
        auto it = std::find_if(sections_.begin(), sections_.end(), same);
        if (it == sections_.end()) it = sections_.insert(sections_.end(), Section{k.section});
        sectionOf_.push_back(static_cast<int>(it - sections_.begin()));
    }
}

ProfileText::ProfileText(std::string_view file, std::vector<KeyName> keys) : ProfileText(std::move(keys)) {
    feed(file, true);
}

// Outside the sections looked for only the next section header matters, and that is a search
// for '[' at the start of a line; inside them every non-blank line is looked at. Every call
// starts at the start of a line.
std::size_t ProfileText::feed(std::string_view bytes, bool last) {
    std::size_t pos = 0;
    if (!started_) {
        if (bytes.size() < kByteOrderMark.size() && !last && kByteOrderMark.starts_with(bytes)) return 0;
        started_ = true;
        if (bytes.starts_with(kByteOrderMark)) pos = bodyBegin_ = kByteOrderMark.size();
    }
    while (pos < bytes.size()) {
        if (section_ < 0 && allSectionsFound()) {
            pos = bytes.size();
            break;
        }
        const auto line = section_ < 0 ? nextHeaderLine(bytes, pos) : nextContentLine(bytes, pos);
        if (!line) {
            pos = last ? bytes.size() : afterLastLineFeed(bytes, pos);
            break;
        }
        if (!line->complete && !last) {
            pos = line->begin;
            break;
        }
        onLine(bytes, *line);
        pos = line->next;
    }
    noteLineEnds(bytes.substr(0, pos));
    offset_ += pos;
    return pos;
}

bool ProfileText::allSectionsFound() const {
    return std::all_of(sections_.begin(), sections_.end(), [](const Section& s) { return s.found; });
}

void ProfileText::noteLineEnds(std::string_view used) {
    if (used.empty()) return;
    if (crLfOnly_ && ((used.front() == '\n' && lastByte_ != '\r') || nextBareLineFeed(used, 1) < used.size()))
        crLfOnly_ = false;
    lastByte_ = used.back();
}

ProfileText::Line ProfileText::lineFrom(std::string_view bytes, std::size_t begin, std::size_t first) const {
    const void* lf = std::memchr(bytes.data() + first, '\n', bytes.size() - first);
    const std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
    return Line{begin, lf ? end + 1 : end, lf != nullptr, trimmed(bytes.substr(first, end - first))};
}

// A blank or a line feed is never a trail byte, so a '[' with only blanks between it and the
// start of its line really starts the line's text.
std::optional<ProfileText::Line> ProfileText::nextHeaderLine(std::string_view bytes, std::size_t from) const {
    for (std::size_t i = from; i < bytes.size();) {
        const void* hit = std::memchr(bytes.data() + i, '[', bytes.size() - i);
        if (!hit) return std::nullopt;
        const auto bracket = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
        std::size_t begin = bracket;
        while (begin > from && isBlank(bytes[begin - 1])) --begin;
        if (begin == from || bytes[begin - 1] == '\n') {
            const Line line = lineFrom(bytes, begin, bracket);
            if (headerName(line.body)) return line;
        }
        i = bracket + 1;
    }
    return std::nullopt;
}

// Blank lines are passed over.
std::optional<ProfileText::Line> ProfileText::nextContentLine(std::string_view bytes, std::size_t from) const {
    const std::size_t first = skipBlankLines(bytes, from);
    if (first >= bytes.size()) return std::nullopt;
    return lineFrom(bytes, afterLastLineFeed(bytes.substr(0, first), from), first);
}

void ProfileText::onLine(std::string_view bytes, const Line& line) {
    if (const auto name = headerName(line.body)) {
        section_ = claimSection(*name);
        if (section_ >= 0) sections_[static_cast<std::size_t>(section_)].insertAt = offset_ + line.next;
        return;
    }
    if (section_ < 0) return;
    sections_[static_cast<std::size_t>(section_)].insertAt = offset_ + line.next;
    if (line.body.front() == '[') return;
    const std::size_t eq = line.body.find('=');  // '=' is never a trail byte
    if (eq == std::string_view::npos) return;
    const std::string_view name = trimmed(line.body.substr(0, eq));
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (sectionOf_[i] != section_ || found_[i].found || !sameName(name, keys_[i].key)) continue;
        found_[i] = KeyLine{true,
                            offset_ + line.begin,
                            offset_ + line.next,
                            std::string(name),
                            std::string(trimmed(line.body.substr(eq + 1))),
                            std::string(bytes.substr(line.begin, line.next - line.begin))};
    }
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

}  // namespace profile
