#include "headerfile/header_text.h"

#include "headerfile/header_lines.h"
#include "headerfile/header_parse.h"
#include "text/cp932.h"

namespace headerfile {
namespace {

std::string formatTime(const std::tm& t, const std::string& pattern) {
    if (pattern.empty()) return {};
    // strftime gives 0 both for an empty result and for a too small buffer; grow a few times.
    for (size_t size = 64; size <= 4096; size *= 4) {
        std::string out(size, '\0');
        const size_t n = std::strftime(out.data(), out.size(), pattern.c_str(), &t);
        if (n > 0) {
            out.resize(n);
            return out;
        }
    }
    return {};
}

// Zeros in front up to width characters (a minus sign counts as one). Texts here are built by
// appending: on `"0" + std::string&&` and insert(0, ...) GCC 12 at -O3 warns of an overlapping
// copy that cannot happen (-Wrestrict).
std::string padded(int v, size_t width) {
    std::string s = std::to_string(v);
    if (s.size() >= width) return s;
    std::string out(width - s.size(), '0');
    out += s;
    return out;
}

std::string two(int v) { return padded(v, 2); }

}  // namespace

std::string headerFileName(const std::tm& t) {
    return padded(t.tm_year + 1900, 4) + two(t.tm_mon + 1) + two(t.tm_mday) + "_" + two(t.tm_hour) + two(t.tm_min) +
           "param.h";
}

std::string headerDateLine(const std::tm& t, const std::string& dateFormat, const std::string& timeFormat) {
    std::string line(kCommentMark);
    line += formatTime(t, dateFormat);
    if (t.tm_hour != 0 || t.tm_min != 0 || t.tm_sec != 0) {
        line += ' ';
        line += formatTime(t, timeFormat);
    }
    return line;
}

std::string headerChannelLines(const planning::ChannelTable& table) {
    std::string out;
    for (int n = 0; n < planning::ChannelTable::kChannels; ++n) {
        const auto i = static_cast<size_t>(n);
        out += descriptionLineStart(n);
        out += table.ChannelDescription[i];
        out += kLineEnd;
        for (const WordLine& w : kWordLines) {
            out += wordLine((table.*w.words)[i], w.name);
            out += kLineEnd;
        }
    }
    return out;
}

std::string headerFileBytes(const planning::ChannelTable& table, std::string_view dateLineUtf8) {
    return text::utf8ToCp932(dateLineUtf8) + std::string(kLineEnd) + headerChannelLines(table);
}

std::string headerFileBytes(const planning::ChannelTable& table, const ExportClock& clock) {
    std::string bytes = headerFileBytes(table, headerDateLine(clock.now(), clock.dateFormat, clock.timeFormat));
    // The makers of descriptions refuse what the reader would; this is the last word on it, so
    // that a kept table or an export is never a file its own program refuses to open.
    try {
        parseHeader(bytes);
    } catch (const HeaderFormatError& e) {
        throw text::VtError(std::string("the header would not read back: ") + e.what());
    }
    return bytes;
}

}  // namespace headerfile
