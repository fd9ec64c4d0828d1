#include "planning/r_choice.h"

#include <algorithm>
#include <limits>

#include "planning/register_words.h"
#include "planning/spur.h"
#include "text/vt_error.h"

namespace planning {
namespace {

constexpr size_t kNearestWanted = 2;

// Calls visit(r) for the values of R clearingRs looks at, nearest to ownR first (the smaller of
// two as near), until visit returns false.
template <typename Visit>
void eachOtherR(int64_t ownR, Visit visit) {
    const int64_t top = std::min(kOtherRFactor * ownR, int64_t{kRefDivLimit});
    // An R beyond the range starts from its end rather than stepping towards it.
    const int64_t from = ownR > top ? ownR - top : 1;
    int64_t left = kMostOtherRs;
    for (int64_t step = from; left > 0 && (ownR - step >= 1 || ownR + step <= top); ++step) {
        for (const int64_t r : {ownR - step, ownR + step}) {
            if (r < 1 || r > top) continue;
            if (left-- == 0 || !visit(r)) return;
        }
    }
}

}  // namespace

RChoice planWithR(const ChannelInputs& in, int64_t r, Search search) {
    ChannelInputs withR = in;
    withR.plan.r = std::to_string(r);
    RChoice choice{r, std::nullopt, {}};
    try {
        choice.planned = planChannelBy(search, withR);
    } catch (const text::VtError& e) {
        choice.error = text::withFullStop(e.what());
    }
    return choice;
}

std::vector<RChoice> planEachR(const ChannelInputs& in, int64_t first, int64_t last, Search search) {
    std::vector<RChoice> choices;
    for (int64_t r = first; r <= last; ++r) choices.push_back(planWithR(in, r, search));
    return choices;
}

RRange otherRRange(int64_t ownR) {
    RRange range{std::numeric_limits<int64_t>::max(), 0};
    eachOtherR(ownR, [&](int64_t r) {
        range.first = std::min(range.first, r);
        range.last = std::max(range.last, r);
        return true;
    });
    return range;
}

std::vector<RChoice> clearingRs(const ChannelInputs& in, int64_t ownR, int64_t spurWarnHz) {
    std::vector<RChoice> found;
    eachOtherR(ownR, [&](int64_t r) {
        RChoice c = planWithR(in, r);
        if (c.planned && c.planned->figures && !c.planned->figures->spurs.below(spurWarnHz))
            found.push_back(std::move(c));
        return found.size() < kNearestWanted;
    });
    std::sort(found.begin(), found.end(), [](const RChoice& a, const RChoice& b) { return a.r < b.r; });
    return found;
}

}  // namespace planning
