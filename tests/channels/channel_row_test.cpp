// A channel planned in one call, and a slot read back from its words for the "Channels" page.
#include <gtest/gtest.h>

#include "channels/channel_meaning.h"
#include "channels/slot_details.h"
#include "channels/slot_figures.h"
#include "planning/channel_plan.h"
#include "text/cp932.h"
#include "text/vt_error.h"

using namespace channels;
using namespace planning;

namespace {

const std::string kDefaultDescription =
    "12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, "
    "Mode=ModeA, frac_rstb=Enable, frac_bypass=Use";

ChannelTable tableWith(int channel, const RegisterWords& words, const std::string& descriptionUtf8) {
    ChannelTable t;
    t.set(channel, words, text::utf8ToCp932(descriptionUtf8));
    return t;
}

}  // namespace

// The worked example planned as search and "set" plan it, and read back from the stored words.
TEST(ChannelRow, ASlotReadsBackAsTheSearchPlannedIt) {
    const PlannedChannel p = planChannel({{"12340", "100", "10", "2", '.'}, {}, {}});
    EXPECT_EQ(p.description, kDefaultDescription);
    const ChannelRow row = channelRow(tableWith(5, p.words, p.description), 5, '.');
    EXPECT_EQ(row.description, kDefaultDescription);
    EXPECT_EQ(row.RefReg + row.IntgReg + row.FracReg + row.CPReg,
              "0400000406000018"
              "08AE147A13407FFE");
    EXPECT_EQ(row.R, "2");
    EXPECT_EQ(row.N_INT, "12");
    EXPECT_EQ(row.NFrac, "5704253");
    EXPECT_EQ(row.N, "12.339999974");               // 12 + 5704253 / 2^24
    EXPECT_EQ(row.synthesizerHz, "123399999.738");  // 2 x 5 MHz x N
    EXPECT_EQ(channelRow(tableWith(5, p.words, p.description), 5, ',').N, "12,339999974");

    // The separator is the caller's: the window passes the locale's, a list passes ".".
    const PlannedChannel comma = planChannel({{"12340,5", "100", "10", "2", ','}, {}, {}});
    const PlannedChannel point = planChannel({{"12340.5", "100", "10", "2", '.'}, {}, {}});
    EXPECT_EQ(comma.words.FracReg, point.words.FracReg);
    EXPECT_EQ(comma.description.substr(0, 10), "12340,5MHz");
    EXPECT_THROW(planChannel({{"12340,5", "100", "10", "2", '.'}, {}, {}}), text::VtError);
}

// What the words or the description do not give stays empty rather than showing a guess.
TEST(ChannelRow, WordsOfAnotherRegisterAndABlankPdGiveEmptyCells) {
    const ChannelRow empty = channelRow(ChannelTable{}, 0, '.');
    EXPECT_EQ(empty.RefReg, "00000000");
    EXPECT_EQ(empty.R + empty.N_INT + empty.NFrac + empty.N + empty.synthesizerHz, "");

    // The PD label two blanks ("set" after a reset): PD is STD / R all the same; without a STD
    // there is none.
    const RegisterWords words{0x04000004, 0x06000018, 0x08AE147A, 0x13407FFE, 0};
    const ChannelRow blankPd = channelRow(tableWith(1, words, "12340MHz, std=10MHz, PD=  Hz, UpGain=127"), 1, '.');
    EXPECT_EQ(blankPd.N, "12.339999974");
    EXPECT_EQ(blankPd.synthesizerHz, "123399999.738");
    for (const char* noStd : {"12340MHz, std=MHz, PD=5000000Hz", "12340MHz, std=10MHz"})
        EXPECT_EQ(channelRow(tableWith(1, words, noStd), 1, '.').synthesizerHz, "") << noStd;

    // The STD is the first "MHz, std=" on: a LocalOutput typed comes before it.
    const ChannelRow typed = channelRow(tableWith(1, words, "PD=1HzMHz, std=10MHz, PD=5000000Hz, UpGain=1"), 1, '.');
    EXPECT_EQ(typed.synthesizerHz, "123399999.738");

    const RegisterWords swapped{0x06000018, 0x04000004, 0x08AE147B, 0, 0};  // odd: bit 0 set
    const ChannelRow wrong = channelRow(tableWith(1, swapped, "PD=5000000Hz"), 1, '.');
    EXPECT_EQ(wrong.R + wrong.N_INT + wrong.NFrac + wrong.N, "");
    EXPECT_EQ(registerData(0x0A000000, kFractionalRegister), std::nullopt);  // 2^24 spilled into 05h
    EXPECT_EQ(registerData(0x09FFFFFE, kFractionalRegister), 0xFFFFFFu);
}

// The multiplier that puts the synthesizer's output nearest the one asked for, rounded half up;
// none when that is 0. The words give 123399999.738 Hz.
TEST(DerivedMultiplier, NearestWholeAndNoneBelowOne) {
    const auto words = readWords(0x04000004, 0x06000018, 0x08AE147A);
    ASSERT_TRUE(words);
    for (const auto& [askedHz, multiplier] : std::vector<std::pair<int64_t, std::optional<int64_t>>>{
             {61'699'999, std::nullopt}, {61'700'000, 1}, {12'340'000'000, 100}})
        EXPECT_EQ(derivedMultiplier(askedHz, 10'000'000, *words), multiplier) << askedHz;
}

// The details of a slot set from a search: an R above what the 02h word holds is said, one at it
// is not; with R 1 and no R clearing the threshold, the search is said to have started at 1.
TEST(SlotDetails, WhatTheyNameOfTheSearchsR) {
    struct Row {
        const char* r;
        int64_t warnHz;
        const char *said, *unsaid;
    };
    for (const Row& row : {Row{"16384", 1, "Multiplier 100,", "is above"},
                           Row{"16385", 1, "R 16385 is above 16384,", "the words use R 16385"},
                           Row{"1", 100'000'000, "; no R up to 4 clears it.", "no R from"}}) {
        const PlanInputs inputs{"12340", "100", "10", row.r, '.'};
        const PlannedChannel p = planChannel({inputs, {}, {}});
        SlotRecord record;
        record.source = SlotRecord::Source::Set;
        record.search = SearchRecord{inputs, {}, {}, p.plan};
        const std::string details = slotDetails(tableWith(0, p.words, p.description), 0, record, row.warnHz, '.');
        EXPECT_NE(details.find(row.said), std::string::npos) << details;
        EXPECT_EQ(details.find(row.unsaid), std::string::npos) << details;
    }
}
