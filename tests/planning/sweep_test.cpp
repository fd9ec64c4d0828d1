// A band of outputs: exact decimal steps, the R list, the size limit, and the summary's runs
// against the points themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "planning/channel_plan.h"
#include "planning/sweep.h"
#include "planning/sweep_summary.h"
#include "planning/sweep_text.h"

using namespace planning;

namespace {

struct Steps {
    const char *from, *to, *step;
    char sep;
    int64_t count;
    std::vector<std::pair<int64_t, const char*>> texts;  // index, output
};

class Stepping : public testing::TestWithParam<Steps> {};

struct Refused {
    const char *from, *to, *step, *problem;
};
class RefusedBand : public testing::TestWithParam<Refused> {};

// A point of an R's index whose spur is spurs, or whose plan failed without.
SweepPoint point(int64_t index, size_t rIndex, std::optional<Spurs> spurs, std::string error = "ゼロによる除算.") {
    SweepPoint p{index, rIndex, 0, std::nullopt, std::move(error)};
    if (spurs) p.figures = WordFigures{{}, ExactFraction(ExactInt(1)), std::nullopt, std::nullopt, *spurs};
    return p;
}
const Spurs kNear{ExactFraction(ExactInt(5)), std::nullopt, Spurs::Nearer::Frac};

}  // namespace

// The ends, TO left out when it falls between steps, and the 10^5-th step where adding 0.1 as a
// binary fraction has drifted away from it.
TEST_P(Stepping, EveryOutputWhereItsDecimalsPutIt) {
    const Steps& s = GetParam();
    std::string problem;
    const auto steps = SweepSteps::read(s.from, s.to, s.step, s.sep, problem);
    ASSERT_TRUE(steps) << problem;
    EXPECT_EQ(steps->count(), s.count);
    for (const auto& [index, text] : s.texts) {
        EXPECT_EQ(steps->text(index, s.sep), text) << index;
        std::string dotted = text;
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        EXPECT_DOUBLE_EQ(steps->megahertz(index), std::stod(dotted)) << index;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Table, Stepping,
    testing::Values(Steps{"12290", "12390", "0.1", '.', 1001, {{0, "12290.0"}, {468, "12336.8"}, {1000, "12390.0"}}},
                    Steps{"0", "1", "0.3", '.', 4, {{0, "0.0"}, {3, "0.9"}}},
                    Steps{"0.1", "10000.1", "0.1", '.', 100001, {{99999, "10000.0"}, {100000, "10000.1"}}},
                    Steps{"5", "5", "1", '.', 1, {{0, "5"}}},
                    Steps{"1,25", "2", "0,5", ',', 2, {{0, "1,25"}, {1, "1,75"}}},
                    Steps{"12340.00", "12341", "1e-3", '.', 1001, {{1, "12340.001"}, {1000, "12341.000"}}},
                    Steps{
                        "0", "0.0001", "0.000000001", '.', 100001, {{99999, "0.000099999"}, {100000, "0.000100000"}}}));

TEST_P(RefusedBand, SaysWhy) {
    const Refused& r = GetParam();
    std::string problem;
    EXPECT_FALSE(SweepSteps::read(r.from, r.to, r.step, '.', problem));
    EXPECT_EQ(problem, r.problem);
}
INSTANTIATE_TEST_SUITE_P(Table, RefusedBand,
                         testing::Values(Refused{"12a", "13", "1", "not a number of MHz: 12a"},
                                         Refused{"13", "12", "1", "TO is below FROM: 13-12"},
                                         Refused{"12", "13", "0", "STEP must be above 0: 0"},
                                         Refused{"-1", "13", "1", "the band starts below 0 MHz: -1"},
                                         Refused{"1", "2", "1e-31", "more than 30 digits: 1"},
                                         Refused{"1e30", "1e30", "1", "more than 30 digits: 1e30"}));

TEST(SweepSize, AMillionLinesAndNotOneMore) {
    std::string problem;
    const auto steps = SweepSteps::read("0", "249999", "1", '.', problem);
    ASSERT_TRUE(steps);
    EXPECT_EQ(sweepSizeProblem(*steps, 4), "");
    EXPECT_EQ(sweepSizeProblem(*steps, 5), "at most 1000000 lines in one sweep: 250000 outputs x 5 values of R");
    const auto huge = SweepSteps::read("0", "1e20", "1e-9", '.', problem);
    ASSERT_TRUE(huge);
    EXPECT_NE(sweepSizeProblem(*huge, 1), "");
}

TEST(RList, WholeNumbersFromOneNoneTwice) {
    std::string problem;
    EXPECT_EQ(readRList("2, 1,3 ,4", problem), (std::vector<int64_t>{2, 1, 3, 4}));
    for (const auto& [text, why] :
         std::vector<std::pair<const char*, const char*>>{{"2,2", "R 2 is listed twice"},
                                                          {"1,,2", "R must be a whole number from 1: "},
                                                          {"0", "R must be a whole number from 1: 0"},
                                                          {"$10", "R must be a whole number from 1: $10"},
                                                          {"2.5", "R must be a whole number from 1: 2.5"}}) {
        EXPECT_FALSE(readRList(text, problem)) << text;
        EXPECT_EQ(problem, why);
    }
}

TEST(BandAround, TheCentresDecimalsAndNothingBelowZero) {
    using Band = std::optional<std::pair<std::string, std::string>>;
    EXPECT_EQ(bandAround("12340", 50, '.'), Band({"12290", "12390"}));
    EXPECT_EQ(bandAround("12340,25", 50, ','), Band({"12290,25", "12390,25"}));
    EXPECT_EQ(bandAround("20.5", 50, '.'), Band({"0.0", "70.5"}));
    EXPECT_EQ(bandAround("x", 50, '.'), std::nullopt);
}

// Each point as the single plan of its output and R gives it, and the summary's runs exactly the
// neighbours whose spur is nearer than the threshold.
TEST(SweepSummary, RunsAreThePointsBelowTheThreshold) {
    std::mt19937_64 rng(27);
    for (int run = 0; run < 12; ++run) {
        const auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
        std::string problem;
        const std::string from = std::to_string(pick(1000, 20000));
        const auto steps = SweepSteps::read(from, from + ".5", "0.00" + std::to_string(pick(1, 9)), '.', problem);
        ASSERT_TRUE(steps) << problem;
        const SweepInputs in{*steps, {pick(1, 8), 9, pick(10, 40)}, std::to_string(pick(20, 200)), "10"};
        const int64_t threshold = pick(0, 3'000'000);
        SweepSummary summary(in.rs, threshold);
        std::vector<std::vector<int64_t>> below(in.rs.size());
        int checked = 0;
        sweep(in, [&](const SweepPoint& p) {
            summary.add(p);
            if (p.figures && p.figures->spurs.below(threshold)) below[p.rIndex].push_back(p.index);
            if (p.index % 97 == 0) {
                const PlannedChannel single =
                    planChannel({{steps->text(p.index, '.'), in.multiplier, in.std, std::to_string(p.r), '.'}});
                EXPECT_EQ(hzText(*single.figures->errorHz, '.'), hzText(*p.figures->errorHz, '.'));
                EXPECT_EQ(spurHzText(single.figures->spurs.offsetHz(), '.'),
                          spurHzText(p.figures->spurs.offsetHz(), '.'));
                ++checked;
            }
            return true;
        });
        EXPECT_GT(checked, 0);
        for (size_t r = 0; r < in.rs.size(); ++r) {
            std::vector<int64_t> fromRuns;
            for (const PointRun& runOf : summary.perR()[r].below) {
                EXPECT_TRUE(fromRuns.empty() || fromRuns.back() + 1 < runOf.first) << "runs that touch are one";
                for (int64_t i = runOf.first; i <= runOf.last; ++i) fromRuns.push_back(i);
            }
            EXPECT_EQ(fromRuns, below[r]) << "R " << in.rs[r];
        }
    }
}

// The page's text: one line per R, several runs, a single output, none, and plans that fail.
TEST(SweepSummary, TextNamesTheRunsAndTheFailures) {
    std::string problem;
    const auto steps = SweepSteps::read("12330", "12350", "0.1", '.', problem);
    ASSERT_TRUE(steps);
    SweepSummary s({3, 20000, 7}, 1'000'000);
    for (int64_t i : {68, 69, 70, 72, 140}) s.add(point(i, 0, kNear));
    s.add(point(3, 2, std::nullopt));
    s.add(point(4, 2, std::nullopt));
    EXPECT_EQ(s.text(*steps, '.'),
              "R 3: below 1000000 Hz from 12336.8 to 12337.0 MHz, at 12337.2 MHz, at 12344.0 MHz\n"
              "warning: R 20000 is above 16384, the most the 02h word holds; the words use R 16384\n"
              "R 20000: nowhere below 1000000 Hz\n"
              "R 7: nowhere below 1000000 Hz; no plan at 2 outputs, 12330.3 MHz: ゼロによる除算.\n");
}

// Six runs are named in full; from the seventh on they are counted.
TEST(SweepSummary, SixRunsNamedAndTheRestCounted) {
    std::string problem;
    const auto steps = SweepSteps::read("0", "20", "1", '.', problem);
    for (const auto& [runs, end] :
         std::vector<std::pair<int, std::string>>{{6, "at 10 MHz\n"}, {8, "at 10 MHz and in 2 more runs\n"}}) {
        SweepSummary s({1}, 1'000'000);
        for (int i = 0; i < runs; ++i) s.add(point(2 * i, 0, kNear));
        EXPECT_EQ(s.text(*steps, '.'),
                  "R 1: below 1000000 Hz at 0 MHz, at 2 MHz, at 4 MHz, at 6 MHz, at 8 MHz, " + end);
    }
}

// A problem text as one CSV field whatever it holds, so that every row keeps its seven columns.
TEST(SweepCsv, AProblemIsOneField) {
    std::string problem;
    const SweepInputs in{*SweepSteps::read("5", "5", "1", '.', problem), {2}, "100", "10"};
    for (const auto& [error, field] : std::vector<std::pair<std::string, std::string>>{
             {"ゼロによる除算.", "ゼロによる除算."}, {"a, b.", "\"a, b.\""}, {"say \"x\"", "\"say \"\"x\"\"\""}}) {
        std::string out;
        appendSweepText(out, in, point(0, 0, std::nullopt, error), {true, '.', 0});
        EXPECT_EQ(out, "5,0,,,,," + field + "\n");
    }
}

// A sweep told to stop plans no further point, of this output or the next.
TEST(SweepStop, AtTheFirstPointToldTo) {
    std::string problem;
    const SweepInputs in{*SweepSteps::read("12340", "12342", "1", '.', problem), {1, 2}, "100", "10"};
    for (const int last : {0, 1, 4}) {
        int visits = 0;
        sweep(in, [&](const SweepPoint&) { return visits++ < last; });
        EXPECT_EQ(visits, last + 1);
    }
}
