// The nearest integer-boundary spur against exact rational arithmetic: the synthesizer output
// 2 x PD x N taken as a fraction, its distance to the nearest whole multiple of PD, written with
// three decimals by long division. Nothing of the code under test is used to work it out.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "planning/plan.h"
#include "planning/spur.h"
#include "tests/planning/exact_reference.h"

using namespace planning;

namespace {

using exactref::i128;
using exactref::kSteps;

std::string referenceText(i128 pd, i128 steps) { return exactref::spurText(pd, steps); }

}  // namespace

// 12340 MHz, x100, 10 MHz with R 1 to 4; an output on a multiple of PD; spurs at one step and
// on the carrier; the threshold compared exactly.
TEST(Spur, FixedPlans) {
    const char* const expected[] = {"3400000.334", "1600000.262", "66678.915", "900000.036"};
    for (int r = 1; r <= 4; ++r) {
        const FrequencyPlan p = findRatios({"12340", "100", "10", std::to_string(r), '.'});
        EXPECT_EQ(spurOffsetHzText(p, '.'), expected[r - 1]) << r;
        EXPECT_EQ(spurOffsetHzText(p, '.'), referenceText(p.PdHz, i128{p.N_INT} * kSteps + p.NFrac)) << r;
    }
    EXPECT_EQ(spurSteps(findRatios({"12340", "100", "10", "2", '.'}).NFrac), 5368710);
    EXPECT_EQ(spurOffsetHzText(findRatios({"12340", "100", "10", "2", ','}), ','), "1600000,262");

    const FrequencyPlan integer = findRatios({"12000", "100", "10", "1", '.'});
    EXPECT_EQ(integer.NFrac, 0);
    EXPECT_EQ(spurOffsetHzText(integer, '.'), "none");
    EXPECT_FALSE(spurBelow(integer, 1'000'000'000));

    // 2 x NFrac a whole step: the spur is on the carrier, not absent.
    EXPECT_EQ(spurOffsetHzText(5'000'000, kSteps / 2, '.'), "0.000");
    EXPECT_TRUE(spurBelow(5'000'000, kSteps / 2, 1));
    // One step from either side of a boundary; PD 2^24 Hz makes a step 1 Hz.
    EXPECT_EQ(spurOffsetHzText(16'777'216, 1, '.'), "2.000");
    EXPECT_EQ(spurOffsetHzText(16'777'216, kSteps - 1, '.'), "2.000");
    EXPECT_EQ(spurOffsetHzText(16'777'216, kSteps / 2 + 1, '.'), "2.000");
    EXPECT_EQ(spurOffsetHzText(16'777'216, kSteps / 4, '.'), "8388608.000");  // the farthest: PD / 2
    EXPECT_FALSE(spurBelow(16'777'216, 1, 2));
    EXPECT_TRUE(spurBelow(16'777'216, 1, 3));
    EXPECT_FALSE(spurBelow(16'777'216, 1, 0));
    // A plan of negative inputs: a distance all the same.
    EXPECT_EQ(spurOffsetHzText(-16'777'216, -1, '.'), "2.000");
}

// Plans from random inputs, through the search, as vtplan and the window make them.
TEST(Spur, RandomPlansMatchExactArithmetic) {
    std::mt19937_64 rng(20261208);
    int integerMode = 0;
    for (int i = 0; i < 20000; ++i) {
        const int64_t loMHz = std::uniform_int_distribution<int64_t>(1, 40'000)(rng);
        const int64_t mul = std::uniform_int_distribution<int64_t>(1, i % 5 == 0 ? 4 : 400)(rng);
        const int64_t stdMHz = std::uniform_int_distribution<int64_t>(1, 200)(rng);
        const int64_t r = std::uniform_int_distribution<int64_t>(1, i % 3 == 0 ? 1000 : 8)(rng);
        if (stdMHz * 1'000'000 / r == 0) continue;
        const FrequencyPlan p =
            findRatios({std::to_string(loMHz), std::to_string(mul), std::to_string(stdMHz), std::to_string(r), '.'});
        // The ratio to the nearest 2^-24, halves up, from the inputs alone.
        const i128 pd = i128{stdMHz} * 1'000'000 / r, half = i128{loMHz} * 1'000'000 / mul / 2;
        const i128 steps = (2 * half * kSteps + pd) / (2 * pd);
        const std::string expected = referenceText(pd, steps);
        ASSERT_EQ(spurOffsetHzText(p, '.'), expected) << loMHz << " " << mul << " " << stdMHz << " " << r;
        const int64_t threshold = std::uniform_int_distribution<int64_t>(0, 2'000'000)(rng);
        ASSERT_EQ(spurBelow(p, threshold), exactref::spurBelow(pd, steps, threshold)) << expected << " " << threshold;
        integerMode += expected == "none" ? 1 : 0;
    }
    EXPECT_GT(integerMode, 0);
}

// Any PD and NFrac a 64-bit plan can hold, negative ones included.
TEST(Spur, RandomWordsMatchExactArithmetic) {
    std::mt19937_64 rng(8);
    for (int i = 0; i < 20000; ++i) {
        const int64_t pd = static_cast<int64_t>(rng()) >> (rng() % 63);
        const int64_t nFrac =
            i % 2 ? static_cast<int64_t>(rng() % kSteps) : static_cast<int64_t>(rng()) >> (rng() % 63);
        ASSERT_EQ(spurOffsetHzText(pd, nFrac, '.'), referenceText(pd, nFrac)) << pd << " " << nFrac;
    }
}
