#include "planning/actual_output.h"

#include "planning/exact_int.h"

namespace planning {
namespace {

constexpr unsigned kDecimals = 3;
constexpr int64_t kMilli = 1000;
// Hz * 1000 = Multiplier * 2 * PdHz * (N_INT * 2^24 + NFrac) * 1000 / 2^24
//           = Multiplier * PdHz * (N_INT * 2^24 + NFrac) * 125 / 2^20
constexpr unsigned kShift = 20;

ExactInt actualMilliHzScaled(const FrequencyPlan& p) {
    const __int128 ratio = static_cast<__int128>(p.N_INT) * (int64_t{1} << 24) + p.NFrac;
    return ExactInt(p.Multiplier) * ExactInt(p.PdHz) * ExactInt::fromInt128(ratio) * ExactInt(125);
}

}  // namespace

std::string actualHzText(const FrequencyPlan& p, char decimalSeparator) {
    return actualMilliHzScaled(p).roundedShiftRight(kShift).toFixed(kDecimals, decimalSeparator);
}

std::string errorHzText(const FrequencyPlan& p, char decimalSeparator) {
    const ExactInt requested = ExactInt(p.LocalOutputHz) * ExactInt(kMilli) * ExactInt(int64_t{1} << kShift);
    return (actualMilliHzScaled(p) - requested).roundedShiftRight(kShift).toFixed(kDecimals, decimalSeparator);
}

}  // namespace planning
