#include "headerfile/header_parse.h"

#include "headerfile/header_lines.h"

namespace headerfile {
namespace {

// The file's lines one at a time, without their ends and without blanks at their ends; a
// final line end closes the last line rather than opening an empty one. Nothing is copied: a
// file of empty lines costs no more than its bytes.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    // The next line; "\n", which no line can be, once the file has ended.
    std::string_view next() {
        ++number_;
        if (rest_.empty()) {
            ended_ = true;
            return "\n";
        }
        const size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        return line;
    }
    int number() const { return number_; }  // of the line next() gave last, from 1
    bool ended() const { return ended_; }

private:
    std::string_view rest_;
    int number_ = 0;
    bool ended_ = false;
};

}  // namespace

HeaderFormatError::HeaderFormatError(int lineNumber, const std::string& expected)
    : HeaderFormatError(lineNumber, Problem{"expected " + expected}) {}

HeaderFormatError::HeaderFormatError(int lineNumber, const Problem& problem)
    : text::VtError("line " + std::to_string(lineNumber) + ": " + problem.text), line(lineNumber) {}

planning::ChannelTable parseHeader(std::string_view bytes) {
    LineReader lines(bytes);
    const auto fail = [&](const std::string& expected) { throw HeaderFormatError(lines.number(), expected); };
    const auto refuse = [&](std::string why) {
        throw HeaderFormatError(lines.number(), HeaderFormatError::Problem{std::move(why)});
    };

    const std::string_view dateLine = lines.next();
    if (dateLine.substr(0, kCommentMark.size()) != kCommentMark)
        fail("`" + std::string(kCommentMark) + "` and the date");
    if (std::string why = planning::commentTextProblem(dateLine); !why.empty()) refuse(why.insert(0, "the date line "));
    planning::ChannelTable table;
    for (int n = 0; n < planning::ChannelTable::kChannels; ++n) {
        const auto slot = static_cast<size_t>(n);
        const auto description = readDescriptionLine(lines.next(), n);
        if (!description) fail("`" + descriptionLineStart(n) + "` and the channel's description");
        // Longer than any the window makes, it is no description but a file to stall the window
        // with; one ending in a backslash, or holding a lone CR, would compile to other words.
        if (std::string why = planning::descriptionProblem(*description); !why.empty()) refuse(std::move(why));
        table.ChannelDescription[slot] = std::string(*description);
        for (const WordLine& w : kWordLines) {
            const auto word = readWordLine(lines.next(), w.name);
            if (!word) fail("`" + wordLineShape(w.name) + "`");
            (table.*w.words)[slot] = *word;
        }
    }
    for (std::string_view line = lines.next(); !lines.ended(); line = lines.next())
        if (!line.empty()) fail("the end of the file");
    return table;
}

}  // namespace headerfile
