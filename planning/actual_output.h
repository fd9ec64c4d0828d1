#pragma once
// The output frequency that a plan's words really produce, exactly, for bench checks.
#include <string>

#include "planning/plan.h"

namespace planning {

// Multiplier * 2 * PdHz * (N_INT + NFrac / 2^24) in Hz, three decimals, ties to even.
std::string actualHzText(const FrequencyPlan& plan, char decimalSeparator);
// actualHz - LocalOutputHz, three decimals, ties to even.
std::string errorHzText(const FrequencyPlan& plan, char decimalSeparator);

}  // namespace planning
