#include "planning/nearest_word.h"

#include <algorithm>
#include <string>

#include "planning/channel_table.h"
#include "planning/error_texts.h"
#include "planning/register_words.h"
#include "text/vt_error.h"

namespace planning {
namespace {

// askedHz x r x 2^23 / (stdHz x multiplier) = askedHz / (2 x PD x multiplier) x 2^24, rounded, in
// 128 bits without allocating when the inputs are as usual (a sweep's every point); nullopt else.
std::optional<__int128> smallSteps(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r,
                                   int64_t multiplier) {
    const auto asked = askedHz.toInt128Parts(), std = stdHz.toInt128Parts();
    __int128 num = 0, den = 0;
    if (!asked || !std || __builtin_mul_overflow(asked->first, std->second, &num) ||
        __builtin_mul_overflow(num, static_cast<__int128>(r) * (kFractionSteps / 2), &num) ||
        __builtin_mul_overflow(asked->second, std->first, &den) ||
        __builtin_mul_overflow(den, static_cast<__int128>(multiplier), &den))
        return std::nullopt;
    return static_cast<__int128>(
        roundedDivide128(static_cast<unsigned __int128>(num), static_cast<unsigned __int128>(den)));
}

// Inputs checked (both frequencies and the multiplier above 0, PD at least 1 Hz), K is at most
// 2^63 Hz x 2^23 and fits 128 bits.
WordRatios nearestSteps(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r, int64_t multiplier) {
    auto k = smallSteps(askedHz, stdHz, r, multiplier);
    if (!k)
        k = (askedHz * (ExactInt(r) * ExactInt(kFractionSteps / 2)))
                .roundedQuotient(stdHz * ExactInt(multiplier))
                .toInt128()
                .value();
    return WordRatios{r, static_cast<int64_t>(*k / kFractionSteps), static_cast<int64_t>(*k % kFractionSteps)};
}

// Why no nearest word exists for these inputs, "" when one does (N_INT aside).
std::string refusal(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r, int64_t multiplier,
                    const PlanInputs& typed) {
    if (multiplier <= 0) return "Multiplier " + typed.multiplier + " is not above 0: no word gives that output";
    if (!askedHz.isPositive()) return "LocalOutput " + typed.localOutput + " is not above 0: no word gives it";
    if (r <= 0 || stdHz.below(r)) return std::string(kIntZeroDivide);  // PD below 1 Hz
    return {};
}

// What planNearestChannel and a sweep's point share: the failures in their order, the words and
// the ratios. stdHz, when given, is in's STD as typedHz reads it.
struct Found {
    FrequencyPlan plan;
    ExactFraction askedHz, stdHz;
    WordRatios ratios;
    RegisterWords words;
};

Found findNearest(const ChannelInputs& in, const std::optional<ExactFraction>& knownStdHz) {
    Found f;
    // The texts' failures, R 0 and a PD of 0 Hz, in the window's words and order.
    f.plan = findRatios(in.plan);
    const char sep = in.plan.decimalSeparator;
    f.askedHz = typedHz(in.plan.localOutput, sep).value();
    f.stdHz = knownStdHz ? *knownStdHz : typedHz(in.plan.std, sep).value();
    const int64_t multiplier = f.plan.Multiplier;
    const int64_t r = heldR(f.plan.R);
    if (multiplier <= 0 || !f.askedHz.isPositive())
        throw text::VtError(refusal(f.askedHz, f.stdHz, r, multiplier, in.plan));

    // The words in the encoding's order, so a failure names the same word first.
    f.words.CPReg = registerWord(kChargePumpRegister, chargePumpData(in.cp));
    f.words.SDReg = registerWord(kSdRegister, sdData(in.sd));
    f.words.RefReg = registerWord(kRefDivRegister, r);
    if (const std::string why = refusal(f.askedHz, f.stdHz, r, multiplier, in.plan); !why.empty())
        throw text::VtError(why);
    f.ratios = nearestSteps(f.askedHz, f.stdHz, r, multiplier);
    f.words.IntgReg = registerWord(kIntegerRegister, f.ratios.nInt);
    f.words.FracReg = registerWord(kFractionalRegister, f.ratios.nFrac);
    return f;
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

std::optional<WordFigures> nearestFigures(const ChannelInputs& in, const std::optional<ExactFraction>& stdHz) {
    const Found f = findNearest(in, stdHz);
    return wordFigures(f.stdHz, f.askedHz, f.plan.Multiplier, f.ratios);
}

PlannedChannel planNearestChannel(const ChannelInputs& in) {
    const Found f = findNearest(in, std::nullopt);
    PlannedChannel out{f.plan, f.words, {}, wordFigures(f.stdHz, f.askedHz, f.plan.Multiplier, f.ratios)};
    const WordRatios& w = f.ratios;
    const int64_t r = w.r, multiplier = f.plan.Multiplier;
    out.plan.N_INT = w.nInt;
    out.plan.NFrac = w.nFrac;
    // (output / (2 x multiplier) - N_INT x PD) x 2^24
    //   = (askedHz x r - 2 x multiplier x N_INT x STD) x 2^23 / (r x multiplier)
    const ExactFraction rest =
        f.askedHz * ExactInt(r) - f.stdHz * (ExactInt(2) * ExactInt(multiplier) * ExactInt(w.nInt));
    out.plan.FFRAC = static_cast<int64_t>((rest * ExactInt(kFractionSteps / 2))
                                              .roundedQuotient(ExactFraction(ExactInt(r) * ExactInt(multiplier)))
                                              .toInt128()
                                              .value());

    const PlanLabels labels = planLabels(out.plan, in.plan.decimalSeparator);
    out.description = ChannelDescription({in.plan.localOutput, in.plan.std, labels.pdHz, in.cp, in.sd});
    return out;
}

}  // namespace planning
