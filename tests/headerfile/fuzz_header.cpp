// libFuzzer: the register header read from arbitrary bytes. All or nothing: a file is refused
// with a line of its own, or read whole, and then C finds in it exactly the 32 words the reader
// read (what Write sends is what the header compiles to). A table read is written again as a
// header that reads back to the same table.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "headerfile/header_parse.h"
#include "headerfile/header_text.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The hexadecimal constants outside comments, read as GCC reads a file: `??/` is a backslash;
// LF, CR LF and a lone CR end a line; a backslash, blanks (space, tab, FF, VT, NUL) and a line
// end join two lines; a comment runs from `//` to the line end, or from `/*` to `*/`.
std::vector<std::uint32_t> constantsCReads(std::string_view file) {
    std::string trigraphs;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const bool backslash = file.substr(i, 3) == "?\?/";
        trigraphs += backslash ? '\\' : file[i];
        if (backslash) i += 2;
    }
    std::string spliced;
    for (std::size_t i = 0; i < trigraphs.size(); ++i) {
        std::size_t j = i + 1;
        while (j < trigraphs.size() && std::string_view(" \t\f\v\0", 5).find(trigraphs[j]) != std::string_view::npos)
            ++j;
        if (trigraphs[i] == '\\' && j < trigraphs.size() && isLineEnd(trigraphs[j])) {
            i = trigraphs.compare(j, 2, "\r\n") == 0 ? j + 1 : j;
            continue;
        }
        spliced += trigraphs[i];
    }
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i < spliced.size();) {
        const std::string_view at = std::string_view(spliced).substr(i);
        if (at.starts_with("//")) {
            while (i < spliced.size() && !isLineEnd(spliced[i])) ++i;
        } else if (at.starts_with("/*")) {
            const std::size_t end = spliced.find("*/", i + 2);
            i = end == std::string::npos ? spliced.size() : end + 2;
        } else if (at.size() > 2 && at[0] == '0' && (at[1] == 'x' || at[1] == 'X') &&
                   (i == 0 || (!std::isalnum(static_cast<unsigned char>(spliced[i - 1])) && spliced[i - 1] != '_'))) {
            std::size_t end = i + 2;
            while (end < spliced.size() && std::isxdigit(static_cast<unsigned char>(spliced[end]))) ++end;
            words.push_back(
                static_cast<std::uint32_t>(std::strtoul(spliced.substr(i + 2, end - i - 2).c_str(), nullptr, 16)));
            i = end;
        } else {
            ++i;
        }
    }
    return words;
}

std::vector<std::uint32_t> wordsInOrder(const planning::ChannelTable& t) {
    std::vector<std::uint32_t> words;
    for (std::size_t c = 0; c < planning::ChannelTable::kChannels; ++c)
        words.insert(words.end(), {t.RefReg[c], t.IntgReg[c], t.FracReg[c], t.CPReg[c]});
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    planning::ChannelTable table;
    try {
        table = headerfile::parseHeader(bytes);
    } catch (const headerfile::HeaderFormatError& e) {
        std::size_t lines = 1;
        for (char c : bytes) lines += c == '\n';
        check(e.line >= 1 && static_cast<std::size_t>(e.line) <= lines + 1);
        check(std::string_view(e.what()).starts_with("line " + std::to_string(e.line) + ": "));
        return 0;
    }
    check(constantsCReads(bytes) == wordsInOrder(table));

    const headerfile::ExportClock clock{[] {
                                            std::tm t{};
                                            t.tm_year = 126;
                                            t.tm_hour = 9;
                                            return t;
                                        },
                                        "%Y/%m/%d", "%H:%M:%S"};
    const std::string again = headerfile::headerFileBytes(table, clock);  // throws if it would not read back
    const planning::ChannelTable back = headerfile::parseHeader(again);
    check(headerfile::headerChannelLines(back) == headerfile::headerChannelLines(table));
    check(constantsCReads(again) == wordsInOrder(table));
    return 0;
}
