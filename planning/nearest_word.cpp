#include "planning/nearest_word.h"

#include <algorithm>
#include <string>

#include "planning/channel_table.h"
#include "planning/error_texts.h"
#include "planning/register_words.h"
#include "text/vt_error.h"

namespace planning {
namespace {

// Inputs checked (both frequencies and the multiplier above 0, PD at least 1 Hz), K is at most
// 2^63 Hz x 2^23 and fits 128 bits.
WordRatios nearestSteps(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r, int64_t multiplier) {
    // askedHz x r x 2^23 / (stdHz x multiplier) = askedHz / (2 x PD x multiplier) x 2^24.
    const auto k = (askedHz * (ExactInt(r) * ExactInt(kFractionSteps / 2)))
                       .roundedQuotient(stdHz * ExactInt(multiplier))
                       .toInt128()
                       .value();
    return WordRatios{r, static_cast<int64_t>(k / kFractionSteps), static_cast<int64_t>(k % kFractionSteps)};
}

// Why no nearest word exists for these inputs, "" when one does (N_INT aside).
std::string refusal(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r, int64_t multiplier,
                    const PlanInputs& typed) {
    if (multiplier <= 0) return "Multiplier " + typed.multiplier + " is not above 0: no word gives that output";
    if (!askedHz.isPositive()) return "LocalOutput " + typed.localOutput + " is not above 0: no word gives it";
    if (r <= 0 || stdHz.below(r)) return std::string(kIntZeroDivide);  // PD below 1 Hz
    return {};
}

}  // namespace

int64_t heldR(int64_t r) { return std::min<int64_t>(r, kRefDivLimit); }

std::optional<WordRatios> nearestRatios(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r,
                                        int64_t multiplier) {
    if (multiplier <= 0 || !askedHz.isPositive() || r <= 0 || stdHz.below(r)) return std::nullopt;
    const WordRatios w = nearestSteps(askedHz, stdHz, r, multiplier);
    if (w.nInt > kRegisterDataMax) return std::nullopt;
    return w;
}

PlannedChannel planChannelBy(Search search, const ChannelInputs& in) {
    return search == Search::Nearest ? planNearestChannel(in) : planChannel(in);
}

PlannedChannel planNearestChannel(const ChannelInputs& in) {
    PlannedChannel out;
    // The texts' failures, R 0 and a PD of 0 Hz, in the window's words and order.
    out.plan = findRatios(in.plan);
    const char sep = in.plan.decimalSeparator;
    const ExactFraction askedHz = typedHz(in.plan.localOutput, sep).value();
    const ExactFraction stdHz = typedHz(in.plan.std, sep).value();
    const int64_t multiplier = out.plan.Multiplier;
    const int64_t r = heldR(out.plan.R);
    if (multiplier <= 0 || !askedHz.isPositive()) throw text::VtError(refusal(askedHz, stdHz, r, multiplier, in.plan));

    // The words in the encoding's order, so a failure names the same word first.
    out.words.CPReg = registerWord(kChargePumpRegister, chargePumpData(in.cp));
    out.words.SDReg = registerWord(kSdRegister, sdData(in.sd));
    out.words.RefReg = registerWord(kRefDivRegister, r);
    if (const std::string why = refusal(askedHz, stdHz, r, multiplier, in.plan); !why.empty())
        throw text::VtError(why);
    const WordRatios w = nearestSteps(askedHz, stdHz, r, multiplier);
    out.words.IntgReg = registerWord(kIntegerRegister, w.nInt);
    out.words.FracReg = registerWord(kFractionalRegister, w.nFrac);

    out.plan.N_INT = w.nInt;
    out.plan.NFrac = w.nFrac;
    // (output / (2 x multiplier) - N_INT x PD) x 2^24 = (askedHz x r - 2 x multiplier x N_INT x STD) x 2^23 / (r x multiplier)
    const ExactFraction rest = askedHz * ExactInt(r) - stdHz * (ExactInt(2) * ExactInt(multiplier) * ExactInt(w.nInt));
    out.plan.FFRAC = static_cast<int64_t>(
        (rest * ExactInt(kFractionSteps / 2)).roundedQuotient(ExactFraction(ExactInt(r) * ExactInt(multiplier))).toInt128().value());

    const PlanLabels labels = planLabels(out.plan, sep);
    out.description = ChannelDescription({in.plan.localOutput, in.plan.std, labels.pdHz, in.cp, in.sd});
    out.figures = wordFigures(stdHz, askedHz, multiplier, w);
    return out;
}

}  // namespace planning
