// What a plan's words really give (the output, its error, the divider's fractional spur and the
// output's beat with a harmonic of PD) against exact rational arithmetic written apart from the
// code: R read from the 02h word, STD and LocalOutput as typed, PD = STD / R exactly.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "planning/channel_plan.h"
#include "planning/spur.h"
#include "tests/planning/exact_reference.h"
#include "text/vt_error.h"

using namespace planning;

namespace {

using exactref::i128;
using exactref::kSteps;

struct Worked {
    const char *localOutput, *multiplier, *std, *r;
    const char *actual, *error, *frac, *beat, *offset;
};

// ActualHz, ErrorHz, FracSpurHz, BeatSpurHz and SpurOffsetHz, as vtplan prints them.
std::vector<std::string> figureTexts(const WordFigures& f, char sep) {
    return {hzText(*f.actualHz, sep), hzText(*f.errorHz, sep), spurHzText(f.spurs.fracHz, sep),
            spurHzText(f.spurs.beatHz, sep), spurHzText(f.spurs.offsetHz(), sep)};
}

class WorkedFigures : public testing::TestWithParam<Worked> {};

}  // namespace

// The engineer's table, then integer mode, N on a half step (no beat, the divider's spur at
// PD / 2), LocalOutput and STD typed finer than a hertz, an exact half rounded to even, and a
// LocalOutput 10^-34 Hz below it, which is no half any more.
TEST_P(WorkedFigures, AsTheWordsGiveThem) {
    const Worked& w = GetParam();
    const PlannedChannel c = planChannel({{w.localOutput, w.multiplier, w.std, w.r, '.'}});
    ASSERT_TRUE(c.figures);
    EXPECT_EQ(figureTexts(*c.figures, '.'), (std::vector<std::string>{w.actual, w.error, w.frac, w.beat, w.offset}));
}
INSTANTIATE_TEST_SUITE_P(
    Table, WorkedFigures,
    testing::Values(
        Worked{"12340", "100", "10", "2", "12339999973.774", "-26.226", "1699999.869", "1600000.262", "1600000.262"},
        Worked{"12340", "100", "10", "1", "12340000033.379", "33.379", "1700000.167", "3400000.334", "1700000.167"},
        Worked{"12340", "100", "10", "3", "12340001225.471", "1225.471", "1633327.206", "66678.921", "66678.921"},
        Worked{"12340", "100", "10", "4", "12340000003.576", "3.576", "799999.982", "900000.036", "799999.982"},
        Worked{"9876.54321", "48", "19.2", "5", "9876543178.711", "-31.289", "799341.888", "1598683.777", "799341.888"},
        Worked{"12340", "100", "10", "20000", "15063476562.500", "2723476562.500", "none", "none", "none"},
        Worked{"12000", "100", "10", "1", "12000000000.000", "0.000", "none", "none", "none"},
        Worked{"12500", "100", "10", "2", "12500000000.000", "0.000", "2500000.000", "none", "2500000.000"},
        Worked{"12340.0000004", "100", "10", "2", "12339999973.774", "-26.626", "1699999.869", "1600000.262",
               "1600000.262"},
        Worked{"12340", "100", "10.0000003", "3", "12340001595.672", "1595.672", "1633327.255", "66678.923",
               "66678.923"},
        Worked{"2.097152", "524288", "0.000003", "1", "2097152.062", "0.062", "1.000", "1.000", "1.000"},
        Worked{"2.0971519999999999999999999999999999999999", "524288", "0.000003", "1", "2097152.062", "0.063", "1.000",
               "1.000", "1.000"}));

TEST(Spur, TheLocaleSeparatorAndTheThresholdComparedExactly) {
    const PlannedChannel c = planChannel({{"12340,5", "100", "10", "3", ','}});
    EXPECT_EQ(figureTexts(*c.figures, ',')[1], "1228,968");
    const Spurs beat = planChannel({{"12340", "100", "10", "3", '.'}}).figures->spurs;  // 66678.921
    EXPECT_FALSE(beat.below(66678));
    EXPECT_TRUE(beat.below(66679));
    EXPECT_FALSE(beat.below(0));
    EXPECT_FALSE(planChannel({{"12000", "100", "10", "1", '.'}}).figures->spurs.below(2'000'000'000));
}

// Plans of random inputs typed to the millihertz and R up to past the word's 16384, through the
// search and the encoding as vtplan and the window make them.
TEST(Spur, RandomPlansMatchExactArithmetic) {
    std::mt19937_64 rng(20261208);
    const auto pick = [&](int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(rng); };
    // mHz as typed in MHz with nine decimals; the search rounds to Hz, halves to even.
    const auto typed = [](i128 mHz) {
        std::string digits = std::to_string(static_cast<int64_t>(mHz));
        digits.insert(0, std::string(digits.size() < 10 ? 10 - digits.size() : 0, '0'));
        return digits.insert(digits.size() - 9, ".");
    };
    const auto searchHz = [](i128 mHz) {
        return mHz / 1000 + (mHz % 1000 > 500 || (mHz % 1000 == 500 && mHz / 1000 % 2));
    };
    int planned = 0, integerMode = 0;
    for (int i = 0; i < 20000; ++i) {
        const i128 lo = pick(1, 40'000'000'000'000), std = pick(1'000'000, 200'000'000'000);
        const int64_t mul = pick(1, i % 5 == 0 ? 4 : 400), r = pick(1, i % 3 == 0 ? 20000 : 8);
        // Every fourth in whole megahertz, where integer mode and N on a half step happen.
        const i128 loMHz = i % 4 == 0 ? lo / 1'000'000'000 * 1'000'000'000 : lo;
        const i128 stdMHz = i % 4 == 0 ? std / 1'000'000'000 * 1'000'000'000 + 1'000'000'000 : std;
        if (searchHz(stdMHz) / r == 0) continue;
        PlannedChannel c;
        try {
            c = planChannel({{typed(loMHz), std::to_string(mul), typed(stdMHz), std::to_string(r), '.'}});
        } catch (const text::VtError&) {
            continue;  // a ratio the words cannot hold
        }
        ++planned;
        const i128 steps = exactref::ratio(searchHz(loMHz), mul, searchHz(stdMHz), r).steps;
        const i128 wordR = exactref::wordR(r);
        const exactref::Spur frac = exactref::fracSpur(stdMHz, wordR, steps, 1000),
                             beat = exactref::beatSpur(stdMHz, wordR, steps, 1000);
        const std::vector<std::string> expected{exactref::actualHz(mul, stdMHz, wordR, steps, 1000),
                                                exactref::errorHz(loMHz, mul, stdMHz, wordR, steps, 1000),
                                                exactref::text(frac), exactref::text(beat),
                                                exactref::text(exactref::nearer(frac, beat))};
        ASSERT_EQ(figureTexts(*c.figures, '.'), expected)
            << typed(loMHz) << " " << mul << " " << typed(stdMHz) << " " << r;
        const int64_t threshold = pick(0, 2'000'000);
        ASSERT_EQ(c.figures->spurs.below(threshold), exactref::below(exactref::nearer(frac, beat), threshold));
        integerMode += frac.none ? 1 : 0;
    }
    EXPECT_GT(planned, 10000);
    EXPECT_GT(integerMode, 0);
}

// Any STD, R and NFrac a word can hold, each spur on its own.
TEST(Spur, RandomWordsMatchExactArithmetic) {
    std::mt19937_64 rng(8);
    for (int i = 0; i < 20000; ++i) {
        const int64_t std = static_cast<int64_t>(rng() >> 1) >> (rng() % 63);
        const int64_t r = static_cast<int64_t>(rng() % 16384) + 1;
        const int64_t nFrac = i % 3 == 0
                                  ? static_cast<int64_t>(rng() % 4) * (kSteps / 4) + static_cast<int64_t>(rng() % 3) - 1
                                  : static_cast<int64_t>(rng() % kSteps);
        const int64_t held = (nFrac + kSteps) % kSteps;
        const Spurs s = spursOf(ExactFraction(ExactInt(std)).dividedBy(static_cast<uint64_t>(r)), held);
        ASSERT_EQ(spurHzText(s.fracHz, '.'), exactref::text(exactref::fracSpur(std, r, held)))
            << std << " " << r << " " << held;
        ASSERT_EQ(spurHzText(s.beatHz, '.'), exactref::text(exactref::beatSpur(std, r, held)))
            << std << " " << r << " " << held;
    }
}
