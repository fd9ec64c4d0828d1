#include "planning/plan.h"

#include <cmath>

#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/number_text.h"
#include "planning/register_words.h"
#include "planning/wrapping.h"

namespace planning {
namespace {

// MHz to Hz in extended precision, rounded ties-to-even; nothing beyond int64.
std::optional<int64_t> tryToHz(long double mhz) {
    const long double hz = std::nearbyintl(mhz * 1000000.0L);
    if (!(hz >= -0x1p63L && hz < 0x1p63L)) return std::nullopt;
    return static_cast<int64_t>(hz);
}

// A result beyond int64 is the runtime's invalid-operation error, as the conversion instruction
// would raise it.
int64_t toHz(long double mhz) {
    if (const auto hz = tryToHz(mhz)) return *hz;
    throw text::VtError(std::string(kInvalidFpOperation));
}

}  // namespace

std::optional<int64_t> tryMegahertzToHz(std::string_view text, char decimalSeparator) {
    const auto mhz = tryParseDecimal(text, decimalSeparator);
    return mhz ? tryToHz(*mhz) : std::nullopt;
}

FrequencyPlan findRatios(const PlanInputs& in) {
    namespace w = wrapping;
    const char sep = in.decimalSeparator;
    FrequencyPlan p;

    const long double localOutput = parseDecimal(in.localOutput, sep);
    p.LocalOutputHz = toHz(localOutput);
    const double localOutputD = static_cast<double>(localOutput);

    const double multiplierD = static_cast<double>(parseDecimal(in.multiplier, sep));
    if (std::isinf(multiplierD)) throw text::VtError(std::string(kFpOverflow));
    p.Multiplier = parseWhole(in.multiplier);

    p.StdHz = toHz(parseDecimal(in.std, sep));

    parseDecimal(in.r, sep);  // only its validity counts
    p.R = parseWhole(in.r);

    if (multiplierD == 0) throw text::VtError(std::string(localOutputD == 0 ? kInvalidFpOperation : kFpZeroDivide));
    p.VcoMHz = localOutputD / multiplierD;

    p.VcoHz = w::div(p.LocalOutputHz, p.Multiplier);
    if (p.R == 0) throw text::VtError(std::string(kIntZeroDivide));
    p.PdHz = w::div(p.StdHz, p.R);
    if (p.PdHz == 0) throw text::VtError(std::string(kIntZeroDivide));
    const int64_t halfVco = w::div(p.VcoHz, 2);
    p.N_INT = w::div(halfVco, p.PdHz);
    p.FFRAC = w::mul(w::sub(halfVco, w::mul(p.N_INT, p.PdHz)), kFractionSteps);
    p.NFrac = w::div(w::add(p.FFRAC, w::div(p.PdHz, 2)), p.PdHz);
    // A fraction rounded up to a whole step belongs to the integer part; left in NFrac it would
    // spill into the 04h word's register-number bits.
    if (p.NFrac == kFractionSteps) {
        p.N_INT = w::add(p.N_INT, 1);
        p.NFrac = 0;
    }
    return p;
}

PlanLabels planLabels(const FrequencyPlan& p, char decimalSeparator) {
    PlanLabels labels;
    labels.vcoHz = formatInt(p.VcoHz);
    labels.pdHz = formatInt(p.PdHz);
    labels.vcoMHz = formatGeneral(p.VcoMHz, decimalSeparator);
    labels.r = formatInt(p.R);
    labels.nInt = formatInt(p.N_INT);
    labels.nFrac = formatInt(p.NFrac);
    labels.fFrac = formatInt(p.FFRAC);
    return labels;
}

}  // namespace planning
