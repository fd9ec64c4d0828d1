// The channel description and the table's slots.
#include <gtest/gtest.h>

#include "planning/channel_table.h"
#include "text/cp932.h"

using namespace planning;

TEST(Description, DefaultsAfterTheWorkedExample) {
    DescriptionInputs in{.localOutput = "12340", .std = "10", .pdHz = "5000000"};
    EXPECT_EQ(ChannelDescription(in),
              "12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, "
              "SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use");
}

TEST(Description, EveryChoiceAndBlankPd) {
    DescriptionInputs in{"1.5", "10.0", "  ", 0, 5, 10, 1, 1, 0, 0, 0, 1};
    EXPECT_EQ(ChannelDescription(in),
              "1.5MHz, std=10.0MHz, PD=  Hz, UpGain=0, DnGain=5, Offset=-10, HiK mode=Off, SD seed=0, "
              "Mode=reserved1, frac_rstb=Disable, frac_bypass=Bypass");
    in.sd.seed = 1;
    in.sd.mode = 1;
    EXPECT_NE(ChannelDescription(in).find("SD seed=LSB, Mode=reserved2,"), std::string::npos);
    in.sd.seed = 3;
    in.sd.mode = 2;
    EXPECT_NE(ChannelDescription(in).find("SD seed=50F1CDh, Mode=ModeB,"), std::string::npos);
}

TEST(Description, NoItemSelectedGivesAnEmptyPiece) {
    DescriptionInputs in{"1", "2", "3", 1, 2, 3, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(ChannelDescription(in),
              "1MHz, std=2MHz, PD=3Hz, UpGain=1, DnGain=2, Offset=3, HiK mode=, SD seed=, Mode=, frac_rstb=, "
              "frac_bypass=");
}

TEST(Description, OperatorTextIsCopiedLiterally) {
    DescriptionInputs in{.localOutput = "%s%n", .std = "%d", .pdHz = "  "};
    EXPECT_EQ(ChannelDescription(in).substr(0, 20), "%s%nMHz, std=%dMHz, ");
}

// A description that ends in byte 0x5C would end its header line in a backslash, which C reads
// as carrying the comment into the next line. Whatever the operator types, and whichever choice
// (or none), the last piece is the window's own text, so the last byte never is one.
TEST(Description, NeverEndsInTheByte0x5CWhateverIsTyped) {
    for (const char* typed : {"表", "\\", "ソ", "12340\\"})
        for (int choice = -1; choice <= 2; ++choice) {
            DescriptionInputs in{typed, typed, typed, 0, 0, 0, choice, choice, choice, choice, choice, choice};
            const std::string bytes = text::utf8ToCp932(ChannelDescription(in));
            ASSERT_FALSE(bytes.empty());
            EXPECT_NE(bytes.back(), '\\') << typed << " " << choice;
        }
}

// Nothing typed brings a control byte but tab into the window's descriptions, so what "set" stores
// always goes into a header; `??/` typed is refused by "set", as it would be by the header's reader.
TEST(Description, TypedControlBytesBecomeBlanksAndTypedTrigraphsAreRefused) {
    for (int byte = 0; byte < 0x20; ++byte) {
        const std::string typed = "12" + std::string(1, static_cast<char>(byte)) + "34";
        const std::string bytes = text::utf8ToCp932(ChannelDescription({typed, typed, "5"}));
        EXPECT_EQ(bytes.substr(0, 5), byte == '\t' ? typed : "12 34") << byte;
        EXPECT_EQ(descriptionProblem(bytes), "") << byte;
    }
    EXPECT_EQ(descriptionProblem(text::utf8ToCp932(ChannelDescription({"12?\?/", "10", "5"}))),
              "the description holds `?\?/`, which C may read as a backslash");
}

// The reader drops blanks at a line's end before it looks at the last byte; so does the check.
TEST(Description, ABackslashBeforeBlanksAtTheEndIsAProblemToo) {
    EXPECT_NE(descriptionProblem("a\\ \t"), "");
    EXPECT_EQ(descriptionProblem("a\\b \t"), "");
    EXPECT_EQ(descriptionProblem(""), "");
}

TEST(ChannelTableSlots, SetReplacesOneChannelOnly) {
    ChannelTable table;
    table.set(0, {0x04000004, 0x06000018, 0x08AE147A, 0x13407FFE, 0x0C0016FC}, "first");
    table.set(3, {1, 2, 3, 4, 5}, "other");
    table.set(0, {6, 7, 8, 9, 10}, "second");
    EXPECT_EQ(table.RefReg[0], 6u);
    EXPECT_EQ(table.IntgReg[0], 7u);
    EXPECT_EQ(table.FracReg[0], 8u);
    EXPECT_EQ(table.CPReg[0], 9u);
    EXPECT_EQ(table.SDReg[0], 10u);
    EXPECT_EQ(table.ChannelDescription[0], "second");
    EXPECT_EQ(table.RefReg[3], 1u);
    EXPECT_EQ(table.ChannelDescription[3], "other");
    EXPECT_EQ(table.RefReg[1], 0u);
    EXPECT_EQ(table.ChannelDescription[1], "");
}

TEST(ChannelTableSlots, ChannelsOutsideTheSelectorAreIgnored) {
    ChannelTable table;
    for (int channel : {-1, 8, 9, INT32_MIN, INT32_MAX}) table.set(channel, {1, 2, 3, 4, 5}, "x");
    for (int slot = 0; slot < ChannelTable::kSlots; ++slot) {
        EXPECT_EQ(table.RefReg[static_cast<size_t>(slot)], 0u);
        EXPECT_EQ(table.ChannelDescription[static_cast<size_t>(slot)], "");
    }
}
