// Code page 932 and the error box's full stop.
#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"
#include "text/shown.h"
#include "text/vt_error.h"

TEST(FullStop, ComparesTheLastCp932Byte) {
    EXPECT_EQ(text::withFullStop("I/O エラー (5)"), "I/O エラー (5)");
    EXPECT_EQ(text::withFullStop("ゼロによる除算"), "ゼロによる除算.");
    EXPECT_EQ(text::withFullStop("Error."), "Error.");  // '.' does not sort after itself
    EXPECT_EQ(text::withFullStop("abc-"), "abc-");
    EXPECT_EQ(text::withFullStop(""), "");
    EXPECT_EQ(text::withFullStop("'%s%n' は整数ではありません"), "'%s%n' は整数ではありません.");
}

TEST(Cp932, RoundTripsJapaneseAndMarksUnconvertibleCharacters) {
    const std::string text = "データ読込みエラー ABC ｱｲｳ ①";
    EXPECT_EQ(text::cp932ToUtf8(text::utf8ToCp932(text)), text);
    EXPECT_EQ(text::utf8ToCp932("ゼロ"), "\x83\x5B\x83\x8D");
    EXPECT_EQ(text::utf8ToCp932("a€b"), "a?b");  // no euro sign in code page 932
    EXPECT_EQ(text::utf8ToCp932("a\xff"
                                "b"),
              "a?b");                                 // not UTF-8
    EXPECT_EQ(text::utf8ToCp932("a\xe3\x82"), "a?");  // truncated sequence
    EXPECT_EQ(text::cp932ToUtf8("a\x83"), "a?");      // lead byte without its trail byte
}

// Outside text as a message quotes it: control characters, bidirectional controls and bytes that
// are no UTF-8 as \xNN, every other character as it is, cut after maxChars characters.
TEST(Shown, EscapesWhatCouldForgeOrReorderALineAndCutsByCharacters) {
    const struct {
        std::string text;
        std::size_t maxChars;
        std::string shown;
    } rows[] = {
        {"a\tb\n\x1b[2J\x7f", std::string::npos, "a\\x09b\\x0a\\x1b[2J\\x7f"},
        {"\x1f \x7e \xc2\x9f \xc2\xa0", std::string::npos, "\\x1f ~ \\xc2\\x9f \xc2\xa0"},  // C1 ends at U+009F
        {"\u061C\u200E\u202A\u202E\u2066\u2069\u2065\u202F", std::string::npos,
         "\\xd8\\x9c\\xe2\\x80\\x8e\\xe2\\x80\\xaa\\xe2\\x80\\xae\\xe2\\x81\\xa6\\xe2\\x81\\xa9\u2065\u202F"},
        {"表\U0001F600\xff\xc0\x9f\xed\xa0\x80\xf4\x90\x80\x80\xe8\xa1", std::string::npos,
         "表\U0001F600\\xff\\xc0\\x9f\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80\\xe8\\xa1"},
        {"\xf4\x8f\xbf\xbf\xed\xbf\xbf", std::string::npos, "\xf4\x8f\xbf\xbf\\xed\\xbf\\xbf"},  // U+10FFFF, U+DFFF
        {"表ab", 3, "表ab"},
        {"表abc", 3, "表ab…"},
        {"\n\n", 1, "\\x0a…"},
    };
    for (const auto& row : rows) EXPECT_EQ(text::shown(row.text, row.maxChars), row.shown) << row.text;
}
