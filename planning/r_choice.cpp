#include "planning/r_choice.h"

#include <algorithm>

#include "planning/spur.h"
#include "text/vt_error.h"

namespace planning {
namespace {

constexpr size_t kNearestWanted = 2;

}  // namespace

RChoice planWithR(const ChannelInputs& in, int64_t r) {
    ChannelInputs withR = in;
    withR.plan.r = std::to_string(r);
    RChoice choice{r, std::nullopt, {}};
    try {
        choice.planned = planChannel(withR);
    } catch (const text::VtError& e) {
        choice.error = text::withFullStop(e.what());
    }
    return choice;
}

std::vector<RChoice> planEachR(const ChannelInputs& in, int64_t first, int64_t last) {
    std::vector<RChoice> choices;
    for (int64_t r = first; r <= last; ++r) choices.push_back(planWithR(in, r));
    return choices;
}

int64_t otherRLimit(int64_t ownR) { return std::min(kOtherRFactor * ownR, int64_t{kRefDivLimit}); }

std::vector<RChoice> clearingRs(const ChannelInputs& in, int64_t ownR, int64_t spurWarnHz) {
    std::vector<RChoice> found;
    const int64_t limit = otherRLimit(ownR);
    const auto clears = [&](int64_t r) {
        if (r < 1 || r > limit) return;
        RChoice c = planWithR(in, r);
        if (c.planned && c.planned->figures && !c.planned->figures->spurs.below(spurWarnHz))
            found.push_back(std::move(c));
    };
    // Outwards from ownR, the smaller side first, until two are found or the range is done.
    for (int64_t step = 1; found.size() < kNearestWanted && (ownR - step >= 1 || ownR + step <= limit); ++step) {
        clears(ownR - step);
        if (found.size() < kNearestWanted) clears(ownR + step);
    }
    std::sort(found.begin(), found.end(), [](const RChoice& a, const RChoice& b) { return a.r < b.r; });
    return found;
}

}  // namespace planning
