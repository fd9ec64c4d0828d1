// The ratio finder: worked example, failure table and its order, arithmetic at the edges, mends.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "planning/channel_plan.h"
#include "planning/error_texts.h"
#include "planning/plan.h"

using namespace planning;

namespace {

FrequencyPlan plan(std::string lo, std::string mul, std::string std, std::string r, char sep = '.') {
    return findRatios(PlanInputs{std::move(lo), std::move(mul), std::move(std), std::move(r), sep});
}

std::string failure(std::string lo, std::string mul, std::string std, std::string r) {
    try {
        plan(std::move(lo), std::move(mul), std::move(std), std::move(r));
    } catch (const text::VtError& e) {
        return e.what();
    }
    return "(no error)";
}

// ActualHz and ErrorHz of the words of the plan, as vtplan prints them.
std::string actualAndError(std::string lo, std::string mul, std::string std, std::string r) {
    const PlannedChannel c = planChannel({{std::move(lo), std::move(mul), std::move(std), std::move(r), '.'}});
    return hzText(*c.figures->actualHz, '.') + " " + hzText(*c.figures->errorHz, '.');
}

}  // namespace

TEST(Plan, WorkedExample) {
    const FrequencyPlan p = plan("12340", "100", "10", "2");
    EXPECT_EQ(p.LocalOutputHz, 12340000000);
    EXPECT_EQ(p.Multiplier, 100);
    EXPECT_EQ(p.StdHz, 10000000);
    EXPECT_EQ(p.R, 2);
    EXPECT_EQ(p.VcoHz, 123400000);
    EXPECT_EQ(p.PdHz, 5000000);
    EXPECT_EQ(p.N_INT, 12);
    EXPECT_EQ(p.FFRAC, 28521267200000);
    EXPECT_EQ(p.NFrac, 5704253);
    EXPECT_EQ(p.NFrac, 0x570A3D);

    const PlanLabels l = planLabels(p, '.');
    EXPECT_EQ(l.vcoHz, "123400000");
    EXPECT_EQ(l.pdHz, "5000000");
    EXPECT_EQ(l.vcoMHz, "123.4");
    EXPECT_EQ(l.r, "2");
    EXPECT_EQ(l.nInt, "12");
    EXPECT_EQ(l.nFrac, "5704253");
    EXPECT_EQ(l.fFrac, "28521267200000");
    EXPECT_EQ(actualAndError("12340", "100", "10", "2"), "12339999973.774 -26.226");
}

// 2097152.0625 Hz lies exactly between two thousandths: it goes to the even one.
TEST(Plan, ActualAndErrorRoundTiesToEven) {
    EXPECT_EQ(actualAndError("2.097152", "524288", "0.000003", "1"), "2097152.062 0.062");
}

TEST(Plan, LocaleSeparatorInInputAndDisplay) {
    const FrequencyPlan p = plan("12340,5", "100", "10", "2", ',');
    EXPECT_EQ(p.LocalOutputHz, 12340500000);
    EXPECT_EQ(planLabels(p, ',').vcoMHz, "123,405");
}

TEST(Plan, FailureTableTexts) {
    EXPECT_EQ(failure("12.3.4", "100", "10", "2"), "'12.3.4' は浮動小数点数ではありません");
    EXPECT_EQ(failure("12340", "100.0", "10", "2"), "'100.0' は整数ではありません");
    EXPECT_EQ(failure("12340", "1e2", "10", "2"), "'1e2' は整数ではありません");
    EXPECT_EQ(failure("12340", "100 ", "10", "2"), "'100 ' は整数ではありません");
    EXPECT_EQ(failure("12340", "1e400", "10", "2"), "浮動小数点数のオーバーフロー");
    EXPECT_EQ(failure("12340", "-1e400", "10", "2"), "浮動小数点数のオーバーフロー");
    EXPECT_EQ(failure("1e13", "100", "10", "2"), "不正な浮動小数点数演算命令");
    EXPECT_EQ(failure("12340", "100", "-1e13", "2"), "不正な浮動小数点数演算命令");
    EXPECT_EQ(failure("12340", "0", "10", "2"), "0 による浮動小数点数除算");
    EXPECT_EQ(failure("0", "0", "10", "2"), "不正な浮動小数点数演算命令");
    EXPECT_EQ(failure("12340", "100", "10", "0"), "ゼロによる除算");
    EXPECT_EQ(failure("12340", "100", "10", "20000000"), "ゼロによる除算");
    EXPECT_EQ(failure("12340", "100", "10", "$10"), "'$10' は浮動小数点数ではありません");
}

TEST(Plan, FirstBadTextInInputOrderIsReported) {
    EXPECT_EQ(failure("a", "b", "c", "d"), "'a' は浮動小数点数ではありません");
    EXPECT_EQ(failure("1", "b", "c", "d"), "'b' は浮動小数点数ではありません");
    EXPECT_EQ(failure("1", "2.5", "c", "d"), "'2.5' は整数ではありません");
    EXPECT_EQ(failure("1", "2", "c", "d"), "'c' は浮動小数点数ではありません");
    EXPECT_EQ(failure("1", "2", "1e20", "d"), "不正な浮動小数点数演算命令");
    EXPECT_EQ(failure("1", "2", "3", "4.0"), "'4.0' は整数ではありません");
    // Zero multiplier is found after every text has been checked.
    EXPECT_EQ(failure("1", "0", "3", "x"), "'x' は浮動小数点数ではありません");
    EXPECT_EQ(failure("1", "0", "3", "0"), "0 による浮動小数点数除算");
}

TEST(Plan, HzRoundingIsTiesToEvenInExtendedPrecision) {
    // 0.0000025 MHz = 2.5 Hz -> 2; 0.0000035 MHz -> 4 (both land on exact halves after rounding).
    EXPECT_EQ(plan("0.0000025", "1", "10", "1").LocalOutputHz, 2);
    EXPECT_EQ(plan("0.0000035", "1", "10", "1").LocalOutputHz, 4);
    EXPECT_EQ(plan("12340", "1", "10.0000005", "1").StdHz, 10000000);
    EXPECT_EQ(plan("12340", "1", "10.0000015", "1").StdHz, 10000002);
    // The largest Hz values that still fit a signed 64-bit integer.
    EXPECT_EQ(plan("-9223372036854.775808", "1", "10", "1").LocalOutputHz, INT64_MIN);
    EXPECT_EQ(failure("9223372036854.775808", "1", "10", "1"), "不正な浮動小数点数演算命令");
}

TEST(Plan, NegativeMultiplierTruncatesTowardZero) {
    const FrequencyPlan p = plan("12340", "-100", "10", "2");
    EXPECT_EQ(p.VcoHz, -123400000);
    EXPECT_EQ(p.N_INT, -12);
    EXPECT_EQ(p.FFRAC, -28521267200000);
    EXPECT_EQ(p.NFrac, -5704252);
    EXPECT_EQ(planLabels(p, '.').vcoMHz, "-123.4");
}

TEST(Plan, ProductsAndShiftWrapWithoutComplaint) {
    // PdHz 2^40, half VCO 2^41 - 1: the remainder 2^40 - 1 shifted by 24 leaves 64 bits and wraps.
    const FrequencyPlan p = plan("4398046.511102", "1", "1099511.627776", "1");
    EXPECT_EQ(p.PdHz, int64_t{1} << 40);
    EXPECT_EQ(p.N_INT, 1);
    EXPECT_EQ(p.FFRAC, -16777216);
    EXPECT_EQ(p.NFrac, 0);
}

TEST(PlanMend, MinimumDividedByMinusOneWrapsInsteadOfTrapping) {
    const FrequencyPlan p = plan("-9223372036854.775808", "-1", "10", "1");
    EXPECT_EQ(p.VcoHz, INT64_MIN);
    const FrequencyPlan q = plan("12340", "1", "-9223372036854.775808", "-1");
    EXPECT_EQ(q.PdHz, INT64_MIN);
}

TEST(PlanMend, FractionRoundedToAWholeStepCarriesIntoTheInteger) {
    // PdHz 2^26, half VCO = 3 * PdHz - 1: the fraction rounds up to 2^24.
    const int64_t pd = int64_t{1} << 26;
    const int64_t vco = 2 * (3 * pd - 1);
    const std::string lo = std::to_string(vco / 1000000) + "." + std::to_string(1000000 + vco % 1000000).substr(1);
    const std::string std = std::to_string(pd / 1000000) + "." + std::to_string(1000000 + pd % 1000000).substr(1);
    const FrequencyPlan p = plan(lo, "1", std, "1");
    EXPECT_EQ(p.PdHz, pd);
    EXPECT_EQ(p.VcoHz, vco);
    EXPECT_EQ(p.N_INT, 3);
    EXPECT_EQ(p.NFrac, 0);
    EXPECT_EQ(p.FFRAC, (pd - 1) << 24);
}
