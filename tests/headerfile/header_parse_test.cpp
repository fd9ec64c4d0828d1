// The register header read back into a table: what the export writes comes back whole, and any
// other line is refused with its number and what belongs there.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "headerfile/header_file.h"
#include "headerfile/header_parse.h"
#include "headerfile/header_text.h"
#include "testkit/temp_dir.h"
#include "text/cp932.h"

namespace {

planning::ChannelTable sampleTable() {
    planning::ChannelTable t;
    t.set(0, {0x04000004, 0x06000018, 0x08AE147A, 0x13407FFE, 0x0C0016FC},
          "12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, "
          "Mode=ModeA, frac_rstb=Enable, frac_bypass=Use");
    t.set(3, {0xFFFFFFFF, 0, 0x0000ABCD, 0x12800000, 0}, text::utf8ToCp932("局発 ＰＤ＝5MHz ≒ -10"));
    return t;  // channels 1, 2, 4..7 never set
}

// Export, open, export: the same bytes (the date line is the caller's).
TEST(HeaderRead, WhatTheExportWritesComesBackByteForByte) {
    const std::string file = headerfile::headerFileBytes(sampleTable(), "//2026/12/07 11:26:02");
    const planning::ChannelTable back = headerfile::parseHeader(file);
    EXPECT_EQ(headerfile::headerFileBytes(back, "//2026/12/07 11:26:02"), file);
    EXPECT_EQ(back.ChannelDescription[3], text::utf8ToCp932("局発 ＰＤ＝5MHz ≒ -10"));
    EXPECT_EQ(back.RefReg[3], 0xFFFFFFFFu);
    EXPECT_EQ(back.SDReg[0], 0u);  // not in the file

    vttest::TempDir dir;
    headerfile::ExportClock clock{[] { return std::tm{}; }, "%Y", "%H"};
    headerfile::writeHeaderFile(dir.file("t.h"), back, clock);
    EXPECT_EQ(headerfile::headerChannelLines(headerfile::readHeaderFile(dir.file("t.h"))),
              headerfile::headerChannelLines(back));
}

// Files that went through an editor: LF line ends, blanks at line ends, lower-case digits.
TEST(HeaderRead, LfEndsTrailingBlanksAndLowerCaseHexAreTheSameFile) {
    const std::string crlf = headerfile::headerFileBytes(sampleTable(), "//x");
    std::string edited;
    for (size_t at = 0; at < crlf.size();) {
        const size_t end = crlf.find("\r\n", at);
        std::string line = crlf.substr(at, end - at);
        if (line.rfind("  0x", 0) == 0)
            for (size_t k = 4; k < 12; ++k) line[k] = char(std::tolower(static_cast<unsigned char>(line[k])));
        edited += line + " \t\n";
        at = end + 2;
    }
    edited += "\n";
    EXPECT_EQ(headerfile::headerFileBytes(headerfile::parseHeader(edited), "//x"), crlf);
}

// One broken line of each kind; nothing else about the file is wrong.
TEST(HeaderRead, EachKindOfBrokenLineIsNamedWithWhatBelongsThere) {
    const std::string good = headerfile::headerFileBytes(sampleTable(), "//date");
    const auto withLine = [&](int number, const std::string& text) {
        std::string out;
        size_t at = 0;
        for (int n = 1; at < good.size(); ++n) {
            const size_t end = good.find("\r\n", at) + 2;
            out += n == number ? text + "\r\n" : good.substr(at, end - at);
            at = end;
        }
        return out;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {withLine(1, "# date"), "line 1: expected `//` and the date"},
        {withLine(17, "//2 description"), "line 17: expected `//3  ` and the channel's description"},
        {withLine(2, "//1  wrong channel"), "line 2: expected `//0  ` and the channel's description"},
        {withLine(3, "  0x0400004,    //RefReg"), "line 3: expected `  0x…,    //RefReg`"},
        {withLine(4, "  0x06000018,    //FracReg"), "line 4: expected `  0x…,    //IntgReg`"},
        {withLine(5, "  0x08AE147G,    //FracReg"), "line 5: expected `  0x…,    //FracReg`"},
        {withLine(6, "  0x13407FFE    //CPReg"), "line 6: expected `  0x…,    //CPReg`"},
        {good + "  0x00000000,\r\n", "line 42: expected the end of the file"},
        {good.substr(0, good.size() - 26), "line 41: expected `  0x…,    //CPReg`"},
        {"", "line 1: expected `//` and the date"},
    };
    for (const auto& [bytes, message] : cases) {
        try {
            headerfile::parseHeader(bytes);
            ADD_FAILURE() << "accepted, expected: " << message;
        } catch (const headerfile::HeaderFormatError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

// A description the window could not have made: longer than 1,024 bytes (a file to stall the
// window with), or ending in byte 0x5C, which in C joins the next line to the comment. Refused
// with its line; one byte less, or the byte elsewhere, is fine.
TEST(HeaderRead, OverlongDescriptionsAndOnesEndingInByte5CAreRefusedWithTheirLine) {
    const auto withDescription = [](int channel, const std::string& description) {
        planning::ChannelTable t = sampleTable();
        t.ChannelDescription[static_cast<size_t>(channel)] = description;
        return headerfile::headerFileBytes(t, "//date");
    };
    const auto refusal = [](const std::string& bytes) -> std::string {
        try {
            headerfile::parseHeader(bytes);
            return "accepted";
        } catch (const headerfile::HeaderFormatError& e) {
            return e.what();
        }
    };
    const std::string kEndsIn5C =
        ": the description ends in byte 0x5C, which C takes as joining the next line to the comment";
    EXPECT_EQ(refusal(withDescription(3, std::string(1024, 'x'))), "accepted");
    EXPECT_EQ(refusal(withDescription(3, std::string(1025, 'x'))),
              "line 17: the description is 1025 bytes long, more than the 1024 a header holds");
    EXPECT_EQ(refusal(withDescription(0, "C:\\plans\\")), "line 2" + kEndsIn5C);
    EXPECT_EQ(refusal(withDescription(7, text::utf8ToCp932("周波数表"))), "line 37" + kEndsIn5C);
    EXPECT_EQ(refusal(withDescription(7, "ends \\ \t")), "line 37" + kEndsIn5C);  // the blanks go with the line end
    EXPECT_EQ(refusal(withDescription(7, text::utf8ToCp932("表の値 a\\b"))), "accepted");

    // What the writers put on disk is never such a file: the bytes are refused before they go.
    planning::ChannelTable t = sampleTable();
    t.ChannelDescription[4] = "ends \\ \t";
    const headerfile::ExportClock clock{[] { return std::tm{}; }, "%Y", "%H"};
    try {
        headerfile::headerFileBytes(t, clock);
        ADD_FAILURE() << "made a header that does not read back";
    } catch (const text::VtError& e) {
        EXPECT_EQ(std::string(e.what()), "the header would not read back: line 22" + kEndsIn5C);
    }
    t.ChannelDescription[4] = "ends";
    EXPECT_NO_THROW(headerfile::headerFileBytes(t, clock));
}

// What C reads otherwise than the reader: after a lone CR some compilers read code, a backslash
// before FF, VT or NUL (or `??/`, its trigraph) joins the next line's word to the comment. Each
// is refused with its line, in the date line too; a tab, and `?` and `/` apart, are fine.
TEST(HeaderRead, ControlBytesButTabAndTheTrigraphOfABackslashAreRefusedWithTheirLine) {
    struct Case {
        int channel;  // -1: the date line
        std::string text, outcome;
    };
    const std::string holds = " holds the control byte ", only = ", where a tab is the only one allowed";
    const std::vector<Case> cases = {
        {0, "12340MHz\r  0x00000001,", "line 2: the description" + holds + "0x0D" + only},
        {3, "a\\\f", "line 17: the description" + holds + "0x0C" + only},
        {5, "a\\\vb", "line 27: the description" + holds + "0x0B" + only},
        {7, std::string("a\\\0b", 4), "line 37: the description" + holds + "0x00" + only},
        {6, "\x1b[2J", "line 32: the description" + holds + "0x1B" + only},
        {1, "12340MHz ?\?/", "line 7: the description holds `?\?/`, which C may read as a backslash"},
        {-1, "//2026/01/31\r  0x00000001,", "line 1: the date line" + holds + "0x0D" + only},
        {2, "tab\there ?? / ?/ /??", "accepted"},
    };
    for (const Case& c : cases) {
        planning::ChannelTable t = sampleTable();
        if (c.channel >= 0) t.ChannelDescription[static_cast<size_t>(c.channel)] = c.text;
        std::string outcome = "accepted";
        try {
            headerfile::parseHeader(headerfile::headerFileBytes(t, c.channel < 0 ? c.text : "//date"));
        } catch (const headerfile::HeaderFormatError& e) {
            outcome = e.what();
        }
        EXPECT_EQ(outcome, c.outcome) << c.text;
    }
}

}  // namespace
