#pragma once
// The best R of those compared for an output: of the plans whose nearer spur clears the
// threshold, the one with the smallest error. Shared by vtplan --compare-r and the window.
#include <cstdint>
#include <span>

#include "planning/r_choice.h"

namespace planning {

// The choice whose plan goes through, whose spur is not below spurWarnHz (a plan without a spur
// clears any threshold) and whose |ErrorHz| is the smallest as vtplan shows it, to the millihertz,
// so the lines show why; of a tie the smaller R, the higher PD. nullptr when none clears it.
const RChoice* bestR(std::span<const RChoice> choices, int64_t spurWarnHz);

}  // namespace planning
