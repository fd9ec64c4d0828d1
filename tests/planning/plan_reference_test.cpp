// The plan against an exact reference: thousands of seeded random inputs, the ratio computed as a
// rational with 128-bit integers and rounded half up to 1/2^24, the output error rounded half to even.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/word_figures.h"

using namespace planning;

namespace {

using i128 = __int128;

std::string decimals6(int64_t micro, char sep) {
    std::string frac = std::to_string(1000000 + micro % 1000000).substr(1);
    return std::to_string(micro / 1000000) + sep + frac;
}

// The same exact value written in one of several ways the operator might type it.
std::string spell(int64_t micro, char sep, std::mt19937_64& rng) {
    switch (rng() % 5) {
        case 0: return decimals6(micro, sep);
        case 1: return std::to_string(micro) + "e-6";
        case 2: return "  +" + decimals6(micro, sep) + "000 ";
        case 3: return std::to_string(micro) + "0E-7";
        default: {
            std::string text = decimals6(micro, sep);
            while (text.back() == '0') text.pop_back();
            return text;  // "12." and "0.5"-style forms
        }
    }
}

std::string fixed3(i128 milli) {
    const bool negative = milli < 0;
    if (negative) milli = -milli;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(milli % 10)));
        milli /= 10;
    } while (milli != 0);
    while (digits.size() < 4) digits.insert(digits.begin(), '0');
    digits.insert(digits.end() - 3, '.');
    return (negative ? "-" : "") + digits;
}

// x / d rounded half to even, x of either sign, d > 0.
i128 roundDivide(i128 x, i128 d) {
    const bool negative = x < 0;
    if (negative) x = -x;
    i128 q = x / d;
    const i128 twiceRest = 2 * (x - q * d);
    if (twiceRest > d || (twiceRest == d && (q & 1) != 0)) ++q;
    return negative ? -q : q;
}

// x with x * 2^24 = target (mod m), m odd.
i128 solveShifted(i128 target, i128 m) {
    // Inverse of 2^24 mod m by the extended Euclidean algorithm.
    i128 a = (i128{1} << 24) % m, b = m, x0 = 1, x1 = 0;
    while (b != 0) {
        const i128 q = a / b;
        a -= q * b;
        std::swap(a, b);
        x0 -= q * x1;
        std::swap(x0, x1);
    }
    return ((x0 % m + m) % m * (((target % m) + m) % m)) % m;
}

}  // namespace

TEST(PlanReference, RandomPositivePlansMatchExactArithmetic) {
    std::mt19937_64 rng(20261207);
    int zeroPd = 0;
    for (int i = 0; i < 20000; ++i) {
        const int64_t loHz = std::uniform_int_distribution<int64_t>(1, 10'000'000'000'000)(rng);
        const int64_t mul = std::uniform_int_distribution<int64_t>(1, i % 4 == 0 ? 2'000'000'000 : 1000)(rng);
        const int64_t stdTop = i % 50 == 0 ? 20000 : int64_t{1} << (i % 2 ? 38 : 27);
        const int64_t stdHz = std::uniform_int_distribution<int64_t>(1, stdTop)(rng);
        const int64_t r = std::uniform_int_distribution<int64_t>(1, i % 3 == 0 ? 20000 : 16)(rng);
        const char sep = i % 7 == 0 ? ',' : '.';
        const PlanInputs in{spell(loHz, sep, rng), std::to_string(mul), spell(stdHz, sep, rng), std::to_string(r), sep};
        SCOPED_TRACE(in.localOutput + " / " + in.multiplier + " / " + in.std + " / " + in.r);

        const i128 vco = loHz / mul;
        const i128 pd = stdHz / r;
        if (pd == 0) {
            ++zeroPd;
            try {
                findRatios(in);
                ADD_FAILURE();
            } catch (const text::VtError& e) {
                EXPECT_STREQ(e.what(), "ゼロによる除算");
            }
            continue;
        }
        const i128 half = vco / 2;
        // half / pd to the nearest 1/2^24, halves up.
        const i128 steps = (2 * half * (i128{1} << 24) + pd) / (2 * pd);

        const FrequencyPlan p = findRatios(in);
        ASSERT_EQ(p.LocalOutputHz, loHz);
        ASSERT_EQ(p.StdHz, stdHz);
        ASSERT_EQ(p.VcoHz, static_cast<int64_t>(vco));
        ASSERT_EQ(p.PdHz, static_cast<int64_t>(pd));
        ASSERT_EQ(p.N_INT, static_cast<int64_t>(steps >> 24));
        ASSERT_EQ(p.NFrac, static_cast<int64_t>(steps & 0xFFFFFF));
        ASSERT_EQ(p.FFRAC, static_cast<int64_t>((half % pd) << 24));

        // What the words give: PD = STD / R exactly, with the R the 02h word holds (an N_INT past
        // the 03h word's 24 bits is figured all the same).
        const i128 wordR = r > 16384 ? 16384 : r;
        const auto f = wordFigures(*typedHz(in.std, sep), typedHz(in.localOutput, sep), mul,
                                   WordRatios{static_cast<int64_t>(wordR), p.N_INT, p.NFrac});
        const i128 actualScaled = i128{mul} * 2 * stdHz * steps * 1000;  // mHz * 2^24 * R
        ASSERT_EQ(hzText(*f->actualHz, '.'), fixed3(roundDivide(actualScaled, wordR << 24)));
        ASSERT_EQ(hzText(*f->errorHz, '.'),
                  fixed3(roundDivide(actualScaled - (i128{loHz} * 1000 * wordR << 24), wordR << 24)));
    }
    EXPECT_GT(zeroPd, 0);
}

TEST(PlanReference, VcoMHzShowsTheTypedValueForMultiplierOne) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 5000; ++i) {
        const int64_t loHz = std::uniform_int_distribution<int64_t>(100, 999'999'999'999'999)(rng);
        std::string expected = decimals6(loHz, '.');
        while (expected.back() == '0') expected.pop_back();
        if (expected.back() == '.') expected.pop_back();
        const FrequencyPlan p = findRatios({decimals6(loHz, '.'), "1", "10", "1", '.'});
        ASSERT_EQ(formatGeneral(p.VcoMHz, '.'), expected) << loHz;
    }
}

TEST(PlanReference, FractionsNextToHalfStepsRoundHalfUp) {
    std::mt19937_64 rng(99);
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        // An odd PD and a remainder whose fraction lies just below, on or just above half a step
        // (exact halves need a PD of 2^25 Hz or more: those come from the power-of-two branch).
        i128 pd, remainder;
        if (i % 4 == 0) {
            const int k = std::uniform_int_distribution<int>(25, 33)(rng);
            pd = i128{1} << k;
            remainder = (2 * std::uniform_int_distribution<int64_t>(0, (int64_t{1} << 24) - 1)(rng) + 1) << (k - 25);
        } else {
            pd = 2 * std::uniform_int_distribution<int64_t>(1, int64_t{1} << 33)(rng) + 1;
            const i128 below = pd - pd / 2 - 1 + std::uniform_int_distribution<int>(-1, 1)(rng);
            remainder = solveShifted(below, pd);
        }
        const i128 nInt = std::uniform_int_distribution<int64_t>(1, 200)(rng);
        const i128 half = nInt * pd + remainder;
        const int64_t vcoHz = static_cast<int64_t>(2 * half);
        const PlanInputs in{decimals6(vcoHz, '.'), "1", decimals6(static_cast<int64_t>(pd), '.'), "1", '.'};
        SCOPED_TRACE(in.localOutput + " / " + in.std);
        const i128 steps = (2 * half * (i128{1} << 24) + pd) / (2 * pd);
        const FrequencyPlan p = findRatios(in);
        ASSERT_EQ(p.N_INT, static_cast<int64_t>(steps >> 24));
        ASSERT_EQ(p.NFrac, static_cast<int64_t>(steps & 0xFFFFFF));
        ++checked;
    }
    EXPECT_EQ(checked, 3000);
}
