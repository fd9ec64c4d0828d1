#include "planning/spur.h"

#include "planning/actual_output.h"
#include "planning/register_words.h"

namespace planning {
namespace {

// The distance of a fraction of steps / 2^24 from the nearest whole number, in 2^-24 steps.
int64_t distanceToWhole(int64_t steps) {
    const int64_t g = ((steps % kFractionSteps) + kFractionSteps) % kFractionSteps;
    return g < kFractionSteps - g ? g : kFractionSteps - g;
}

}  // namespace

Spurs spursOf(const ExactFraction& pdHz, int64_t nFrac) {
    Spurs s;
    const ExactFraction pd = pdHz.magnitude();  // a distance has no sign
    const int64_t frac = distanceToWhole(nFrac), beat = distanceToWhole(2 * (nFrac % kFractionSteps));
    if (frac != 0) s.fracHz = (pd * ExactInt(frac)).dividedBy(kFractionSteps);
    if (beat != 0) s.beatHz = (pd * ExactInt(beat)).dividedBy(kFractionSteps);
    if (s.fracHz) s.nearer = Spurs::Nearer::Frac;
    if (s.beatHz && (!s.fracHz || beat < frac)) s.nearer = Spurs::Nearer::Beat;
    return s;
}

std::string spurHzText(const std::optional<ExactFraction>& hz, char decimalSeparator) {
    return hz ? hzText(*hz, decimalSeparator) : "none";
}

}  // namespace planning
