// Code page 932 and the error box's full stop.
#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"
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
