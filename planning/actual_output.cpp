#include "planning/actual_output.h"

#include "planning/plan.h"
#include "planning/register_words.h"

namespace planning {
namespace {

constexpr int kHzPerMHzTens = 6;
constexpr unsigned kDecimals = 3;

}  // namespace

std::optional<WordRatios> readWords(uint32_t refReg, uint32_t intgReg, uint32_t fracReg) {
    const auto r = registerData(refReg, kRefDivRegister);
    const auto nInt = registerData(intgReg, kIntegerRegister);
    const auto nFrac = registerData(fracReg, kFractionalRegister);
    if (!r || !nInt || !nFrac) return std::nullopt;
    return WordRatios{*r, *nInt, *nFrac};
}

std::optional<ExactFraction> typedHz(std::string_view mhzText, char decimalSeparator) {
    // Beyond what the search takes (no 64-bit number of hertz) there is no plan to figure.
    if (!tryMegahertzToHz(mhzText, decimalSeparator)) return std::nullopt;
    return ExactFraction::fromDecimal(mhzText, decimalSeparator, kHzPerMHzTens);
}

std::optional<ExactFraction> exactPdHz(const ExactFraction& stdHz, int64_t r) {
    if (r == 0) return std::nullopt;
    const ExactFraction pd = stdHz.dividedBy(static_cast<uint64_t>(r < 0 ? -r : r));
    return r < 0 ? pd * ExactInt(-1) : pd;
}

ExactFraction outputHz(const ExactFraction& pdHz, const WordRatios& w, int64_t multiplier) {
    const __int128 steps = static_cast<__int128>(w.nInt) * static_cast<__int128>(kFractionSteps) + w.nFrac;
    return (pdHz * (ExactInt(2) * ExactInt::fromInt128(steps) * ExactInt(multiplier)))
        .dividedBy(static_cast<uint64_t>(kFractionSteps));
}

std::string hzText(const ExactFraction& hz, char decimalSeparator) { return hz.toFixed(kDecimals, decimalSeparator); }

}  // namespace planning
