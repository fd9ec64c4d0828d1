#pragma once
// The nearest integer-boundary spur of a fractional-N plan. The synthesizer puts out 2 x PD x N;
// where that lies close to a whole multiple of PD, a spur appears at that distance from the
// carrier, and after the multiplier at the same offset in Hz. Other fractional spurs and what the
// loop filter makes of them are not figured here.
#include <cstdint>
#include <optional>
#include <string>

#include "planning/plan.h"

namespace planning {

inline constexpr int64_t kDefaultSpurWarnHz = 1'000'000;

// The distance d, in 2^-24 steps of PD, from 2 x N to the nearest whole number:
// g = (2 x NFrac) mod 2^24, d = min(g, 2^24 - g). nullopt in integer mode (NFrac 0): no spur.
std::optional<int64_t> spurSteps(int64_t nFrac);

// d x |PD| / 2^24 in Hz with three decimals, ties to even, as ActualHz; "none" in integer mode.
std::string spurOffsetHzText(int64_t pdHz, int64_t nFrac, char decimalSeparator);
inline std::string spurOffsetHzText(const FrequencyPlan& p, char decimalSeparator) {
    return spurOffsetHzText(p.PdHz, p.NFrac, decimalSeparator);
}

// The offset is below thresholdHz, exactly (not its rounded text); never in integer mode.
bool spurBelow(int64_t pdHz, int64_t nFrac, int64_t thresholdHz);
inline bool spurBelow(const FrequencyPlan& p, int64_t thresholdHz) { return spurBelow(p.PdHz, p.NFrac, thresholdHz); }

}  // namespace planning
