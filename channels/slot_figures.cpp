#include "channels/slot_figures.h"

#include "channels/channel_meaning.h"
#include "planning/plan.h"
#include "planning/register_words.h"
#include "text/cp932.h"

namespace channels {

using planning::ChannelTable;
using planning::ExactFraction;
using planning::hzText;
using planning::readWords;
using planning::spurHzText;
using planning::tryMegahertzToHz;
using planning::typedHz;
using planning::wordFigures;
using planning::WordRatios;

namespace {

constexpr __int128 kSteps = planning::kFractionSteps;

// A quoted frequency in Hz, exactly and as the search rounds it.
struct Quoted {
    std::optional<ExactFraction> exact;
    std::optional<int64_t> rounded;
};
Quoted quoted(const std::optional<std::string>& text, char decimalSeparator) {
    if (!text) return {};
    const char sep = quotedSeparator(*text, decimalSeparator);
    return {typedHz(*text, sep), tryMegahertzToHz(*text, sep)};
}

}  // namespace

std::optional<int64_t> derivedMultiplier(int64_t askedHz, int64_t stdHz, const WordRatios& w) {
    // asked x R x 2^24 / (2 x STD x steps), rounded half up, in 128 bits: with the words' 24-bit
    // fields every product stays below 2^115.
    const __int128 steps = __int128{w.nInt} * kSteps + w.nFrac;
    const __int128 synth = 2 * __int128{stdHz} * steps;
    if (askedHz <= 0 || stdHz <= 0 || w.r <= 0 || steps <= 0) return std::nullopt;
    const __int128 m = (2 * __int128{askedHz} * w.r * kSteps + synth) / (2 * synth);
    if (m < 1 || m > INT32_MAX) return std::nullopt;
    return static_cast<int64_t>(m);
}

SlotFigures slotFigures(const ChannelTable& t, int channel, std::optional<int64_t> recordedMultiplier,
                        int64_t spurWarnHz, char sep) {
    const auto i = static_cast<size_t>(channel);
    const std::string description = text::cp932ToUtf8(t.ChannelDescription.at(i));
    SlotFigures f;
    const auto outputText = outputFromDescription(description);
    if (outputText) f.outputMHz = *outputText;
    const auto words = readWords(t.RefReg[i], t.IntgReg[i], t.FracReg[i]);
    const Quoted std = quoted(stdFromDescription(description), sep);
    if (!words || !std.exact) return f;
    const Quoted asked = quoted(outputText, sep);
    f.multiplier = recordedMultiplier;
    if (!f.multiplier && asked.rounded && std.rounded) {
        f.multiplier = derivedMultiplier(*asked.rounded, *std.rounded, *words);
        f.multiplierDerived = f.multiplier.has_value();
    }
    f.figures = wordFigures(*std.exact, asked.exact, f.multiplier, *words);
    if (!f.figures) return f;
    if (f.figures->errorHz) f.errorHz = hzText(*f.figures->errorHz, sep);
    f.spurOffsetHz = spurHzText(f.figures->spurs.offsetHz(), sep);
    f.spurWarned = f.figures->spurs.below(spurWarnHz);
    return f;
}

}  // namespace channels
