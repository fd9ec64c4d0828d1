#include "planning/best_r.h"

namespace planning {

const RChoice* bestR(std::span<const RChoice> choices, int64_t spurWarnHz) {
    const ExactFraction milliHz(ExactInt(1), {1000});
    const RChoice* best = nullptr;
    ExactInt bestError;
    for (const RChoice& c : choices) {
        if (!c.planned || !c.planned->figures || !c.planned->figures->errorHz) continue;
        if (c.planned->figures->spurs.below(spurWarnHz)) continue;
        const ExactInt error = c.planned->figures->errorHz->magnitude().roundedQuotient(milliHz);
        if (best == nullptr || error < bestError || (error == bestError && c.r < best->r)) {
            best = &c;
            bestError = error;
        }
    }
    return best;
}

}  // namespace planning
