// The nearest-word search against words worked out by hand with exact fractions: the table an RF
// engineer checked, and the corners of the rounding (an exact half, the carry into N_INT).
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "planning/channel_plan.h"
#include "planning/exact_int.h"
#include "planning/nearest_word.h"
#include "planning/register_words.h"
#include "text/vt_error.h"

namespace {

struct Row {
    const char *out, *mult, *std, *r;
    int64_t nInt, nFrac;
    const char* errorHz;  // as vtplan writes ErrorHz
};

class NearestWord : public testing::TestWithParam<Row> {};

TEST_P(NearestWord, GivesTheWordNearestTheOutputAsked) {
    const Row& row = GetParam();
    planning::ChannelInputs in;
    in.plan = {row.out, row.mult, row.std, row.r, '.'};
    const planning::PlannedChannel nearest = planning::planNearestChannel(in);
    EXPECT_EQ(nearest.words.IntgReg, planning::registerWord(planning::kIntegerRegister, row.nInt));
    EXPECT_EQ(nearest.words.FracReg, planning::registerWord(planning::kFractionalRegister, row.nFrac));
    ASSERT_TRUE(nearest.figures && nearest.figures->errorHz);
    EXPECT_EQ(planning::hzText(*nearest.figures->errorHz, '.'), row.errorHz);
    // Only the 03h and 04h words and the ratios differ from the window's search.
    const planning::PlannedChannel search = planning::planChannel(in);
    EXPECT_EQ(nearest.words.RefReg, search.words.RefReg);
    EXPECT_EQ(nearest.words.CPReg, search.words.CPReg);
    EXPECT_EQ(nearest.words.SDReg, search.words.SDReg);
    EXPECT_EQ(nearest.description, search.description);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NearestWord,
    testing::Values(Row{"12340", "100", "10", "3", 18, 8556380, "-6.358"},
                    Row{"12340", "100", "10", "11", 67, 14596178, "0.867"},
                    Row{"12340", "100", "10", "1024", 6318, 1342177, "-0.033"},
                    Row{"12340", "100", "10", "16383", 101083, 1845494, "0.002"},
                    Row{"11999.999999", "100", "10", "1", 6, 0, "1.000"},
                    Row{"9876.54321", "48", "19.2", "5", 26, 13284839, "-9.316"},
                    // Integer mode; the most R the 02h word holds, and what it holds for more.
                    Row{"12000", "100", "10", "1", 6, 0, "0.000"},
                    Row{"12340", "100", "10", "16384", 101089, 4697620, "-0.003"},
                    Row{"12340", "100", "10", "20000", 101089, 4697620, "-0.003"},
                    // Exactly half a step above 100 x 2^24 + 1 and above 100 x 2^24: to the even count.
                    Row{"2000.00000178813934326171875", "1", "10", "1", 100, 2, "0.596"},
                    Row{"2000.00000059604644775390625", "1", "10", "1", 100, 0, "-0.596"},
                    // 0.4 of a step below 101 x 2^24: NFrac would be 2^24, N_INT takes the carry.
                    Row{"2019.999999523162841796875", "1", "10", "1", 101, 0, "0.477"},
                    // STD with more digits than 64 bits hold, and more than 128-bit arithmetic takes.
                    Row{"12340", "100", "10.000000000000000000000001", "3", 18, 8556380, "-6.358"},
                    Row{"12340", "100", "10.00000000000000000000000000000000001", "3", 18, 8556380, "-6.358"}));

struct Refusal {
    const char *out, *mult, *std, *r;
    const char* text;
};

class NearestWordRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(NearestWordRefusal, SaysWhyInTheWindowsWords) {
    const Refusal& row = GetParam();
    planning::ChannelInputs in;
    in.plan = {row.out, row.mult, row.std, row.r, '.'};
    try {
        planning::planNearestChannel(in);
        ADD_FAILURE() << "no error";
    } catch (const text::VtError& e) {
        EXPECT_EQ(std::string(e.what()), row.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NearestWordRefusal,
    testing::Values(Refusal{"12340", "100", "10", "0", "ゼロによる除算"},
                    // PD of 0.75 Hz, though the window's search cuts STD to 2 Hz and PD to 1 Hz.
                    Refusal{"12340", "100", "0.0000015", "2", "ゼロによる除算"},
                    Refusal{"12340", "-100", "10", "3", "Multiplier -100 is not above 0: no word gives that output"},
                    Refusal{"0", "100", "10", "3", "LocalOutput 0 is not above 0: no word gives it"},
                    Refusal{"12340", "100", "10", "-3", "Register 02h data -3 is out of range 0 to 16777215"},
                    Refusal{"12340", "1", "0.0001", "1", "Register 03h data 61700000 is out of range 0 to 16777215"},
                    Refusal{"12340", "1e2", "10", "3", "'1e2' は整数ではありません"}));

}  // namespace

namespace {

// The long division behind an STD typed with more digits than 64 bits hold: rounding to the
// nearest, an exact half to even, and the signs.
TEST(ExactIntLongDivision, RoundsToNearestHalfToEven) {
    const auto value = [](std::string_view digits) {
        return digits.front() == '-' ? -planning::ExactInt::fromDigits(digits.substr(1))
                                     : planning::ExactInt::fromDigits(digits);
    };
    const struct {
        const char *name, *numerator, *divisor, *quotient;
    } rows[] = {
        {"half, even quotient stays", "581072438321850875925", "55340232221128654850", "10"},
        {"half, odd quotient goes up", "636412670542979530775", "55340232221128654850", "12"},
        {"just above half", "581072438321850875926", "55340232221128654850", "11"},
        {"just below half", "636412670542979530774", "55340232221128654850", "11"},
        {"negative numerator", "-636412670542979530775", "55340232221128654850", "-12"},
        {"negative divisor", "636412670542979530776", "-55340232221128654850", "-12"},
        {"top bit of a top limb", "170141183460469231731687303715884118073", "18446744073709551617",
         "9223372036854775808"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(value(row.numerator).roundedDivide(value(row.divisor)).toFixed(0, '.'), row.quotient) << row.name;
}

}  // namespace
