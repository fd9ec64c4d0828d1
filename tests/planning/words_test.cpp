// Register words: layout, CalcPLLReg's order and partial update, the range refusal, current labels.
#include <gtest/gtest.h>

#include <string>

#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/register_words.h"

using namespace planning;

namespace {

RegisterWords calc(const ChargePumpSettings& cp, const SdSettings& sd, std::string_view r, std::string_view n,
                   std::string_view f) {
    RegisterWords words;
    CalcPLLReg(cp, sd, r, n, f, words);
    return words;
}

const RegisterWords kOld{0x11111111, 0x22222222, 0x33333333, 0x44444444, 0x55555555};

}  // namespace

TEST(Words, WorkedExampleWithDefaults) {
    const RegisterWords w = calc({}, {}, "2", "12", "5704253");
    EXPECT_EQ(hex8(w.RefReg), "04000004");
    EXPECT_EQ(hex8(w.IntgReg), "06000018");
    EXPECT_EQ(hex8(w.FracReg), "08AE147A");
    EXPECT_EQ(hex8(w.CPReg), "13407FFE");
    EXPECT_EQ(hex8(w.SDReg), "0C0016FC");
    EXPECT_EQ(chargePumpData({}), 0xA03FFF);
    EXPECT_EQ(sdData({}), 0xB7E);
}

TEST(Words, ChargePumpExtremes) {
    EXPECT_EQ(hex8(calc({0, 0, 0, 1, 1}, {}, "2", "12", "0").CPReg), "12800000");
    EXPECT_EQ(hex8(calc({127, 127, 127, 0, 0}, {}, "2", "12", "0").CPReg), "137FFFFE");
}

TEST(Words, SdExtremesAndNoItemSelected) {
    EXPECT_EQ(hex8(calc({}, {0, 0, 0, 0}, "2", "12", "0").SDReg), "0C0006E0");
    EXPECT_EQ(hex8(calc({}, {3, 3, 1, 1}, "2", "12", "0").SDReg), "0C0017FE");
    EXPECT_EQ(sdData({-1, 3, 1, 0}), 0xB7B);
}

TEST(Words, ReferenceDividerLimit) {
    EXPECT_EQ(hex8(calc({}, {}, "1", "12", "0").RefReg), "04000002");
    EXPECT_EQ(hex8(calc({}, {}, "16383", "12", "0").RefReg), "04007FFE");
    EXPECT_EQ(hex8(calc({}, {}, "16384", "12", "0").RefReg), "04008000");
    EXPECT_EQ(hex8(calc({}, {}, "2147483647", "12", "0").RefReg), "04008000");
}

TEST(Words, ConversionFailureLeavesEarlierWordsUpdated) {
    // The plan 12340 / 1 / 10 / 10000000 has N_INT 6170000000.
    const FrequencyPlan p = findRatios({"12340", "1", "10", "10000000", '.'});
    EXPECT_EQ(p.PdHz, 1);
    EXPECT_EQ(p.N_INT, 6170000000);
    const PlanLabels l = planLabels(p, '.');
    RegisterWords w = kOld;
    try {
        CalcPLLReg({}, {}, l.r, l.nInt, l.nFrac, w);
        ADD_FAILURE();
    } catch (const text::VtError& e) {
        EXPECT_STREQ(e.what(), "'6170000000' は整数ではありません");
    }
    EXPECT_EQ(hex8(w.CPReg), "13407FFE");
    EXPECT_EQ(hex8(w.SDReg), "0C0016FC");
    EXPECT_EQ(hex8(w.RefReg), "04008000");
    EXPECT_EQ(w.IntgReg, kOld.IntgReg);
    EXPECT_EQ(w.FracReg, kOld.FracReg);
}

TEST(WordsMend, DataOutsideTwentyFourBitsIsRefusedAtItsStep) {
    auto refusal = [](std::string_view r, std::string_view n, std::string_view f, RegisterWords& w) {
        try {
            CalcPLLReg({}, {}, r, n, f, w);
        } catch (const text::VtError& e) {
            return std::string(e.what());
        }
        return std::string("(accepted)");
    };
    RegisterWords w = kOld;
    EXPECT_EQ(refusal("2", "-12", "0", w), "Register 03h data -12 is out of range 0 to 16777215");
    EXPECT_EQ(hex8(w.RefReg), "04000004");
    EXPECT_EQ(w.IntgReg, kOld.IntgReg);
    EXPECT_EQ(w.FracReg, kOld.FracReg);

    w = kOld;
    EXPECT_EQ(refusal("2", "16777216", "0", w), "Register 03h data 16777216 is out of range 0 to 16777215");
    EXPECT_EQ(refusal("2", "12", "16777216", w), "Register 04h data 16777216 is out of range 0 to 16777215");
    EXPECT_EQ(hex8(w.IntgReg), "06000018");
    EXPECT_EQ(w.FracReg, kOld.FracReg);
    EXPECT_EQ(refusal("-5", "12", "0", w), "Register 02h data -5 is out of range 0 to 16777215");
    EXPECT_EQ(refusal("2", "16777215", "16777215", w), "(accepted)");
    EXPECT_EQ(hex8(w.IntgReg), "07FFFFFE");
    EXPECT_EQ(hex8(w.FracReg), "09FFFFFE");
}

TEST(WordsMend, SdDataBelowZeroIsRefused) {
    // frac_rstb with no item selected takes 2048 off the constant bits.
    RegisterWords w = kOld;
    EXPECT_THROW(CalcPLLReg({}, {2, 3, -1, 0}, "2", "12", "0", w), text::VtError);
    EXPECT_EQ(hex8(w.CPReg), "13407FFE");
    EXPECT_EQ(w.SDReg, kOld.SDReg);
}

TEST(Words, CurrentLabels) {
    EXPECT_EQ(currentLabel(127, kUpDownMicroampsPerStep), "2540uA");
    EXPECT_EQ(currentLabel(127, kOffsetMicroampsPerStep), "635uA");
    EXPECT_EQ(currentLabel(0, kUpDownMicroampsPerStep), "0uA");
}
