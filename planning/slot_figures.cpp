#include "planning/slot_figures.h"

#include "planning/actual_output.h"
#include "planning/channel_meaning.h"
#include "planning/plan.h"
#include "planning/spur.h"
#include "text/cp932.h"

namespace planning {
namespace {

constexpr std::string_view kAfterOutput = "MHz, std=";
constexpr __int128 kSteps = __int128{1} << 24;

}  // namespace

std::optional<std::string> outputFromDescription(std::string_view d) {
    const size_t end = d.find(kAfterOutput);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(d.substr(0, end));
}

std::optional<int64_t> derivedMultiplier(int64_t askedHz, int64_t pdHz, int64_t nInt, int64_t nFrac) {
    // asked / (2 x PD x steps / 2^24), rounded half up, in 128 bits: asked x 2^24 stays below 2^87,
    // 2 x PD x steps below 2^113 for the words' 24-bit ratio parts.
    const __int128 steps = __int128{nInt} * kSteps + nFrac;
    const __int128 synth = 2 * __int128{pdHz} * steps;
    if (askedHz <= 0 || pdHz <= 0 || steps <= 0) return std::nullopt;
    const __int128 m = (2 * __int128{askedHz} * kSteps + synth) / (2 * synth);
    if (m < 1 || m > INT32_MAX) return std::nullopt;
    return static_cast<int64_t>(m);
}

SlotFigures slotFigures(const ChannelTable& t, int channel, std::optional<int64_t> recordedMultiplier,
                        int64_t spurWarnHz, char sep) {
    const auto i = static_cast<size_t>(channel);
    const std::string description = text::cp932ToUtf8(t.ChannelDescription.at(i));
    SlotFigures f;
    const auto output = outputFromDescription(description);
    if (output) f.outputMHz = *output;
    const auto pd = pdFromDescription(description);
    const auto nInt = registerData(t.IntgReg[i], kIntegerRegister);
    const auto nFrac = registerData(t.FracReg[i], kFractionalRegister);
    if (!pd || !nInt || !nFrac) return f;
    f.spurOffsetHz = spurOffsetHzText(*pd, *nFrac, sep);
    f.spurWarned = spurBelow(*pd, *nFrac, spurWarnHz);

    std::optional<int64_t> askedHz;
    if (output) askedHz = tryMegahertzToHz(*output, sep);
    if (output && !askedHz && sep != '.') askedHz = tryMegahertzToHz(*output, '.');  // a list's or another locale's
    if (!askedHz) return f;
    f.multiplier = recordedMultiplier;
    if (!f.multiplier) {
        f.multiplier = derivedMultiplier(*askedHz, *pd, *nInt, *nFrac);
        f.multiplierDerived = f.multiplier.has_value();
    }
    if (!f.multiplier) return f;
    FrequencyPlan p;
    p.LocalOutputHz = *askedHz;
    p.Multiplier = *f.multiplier;
    p.PdHz = *pd;
    p.N_INT = *nInt;
    p.NFrac = *nFrac;
    f.errorHz = errorHzText(p, sep);
    return f;
}

}  // namespace planning
