#include "planning/r_choice.h"

#include <algorithm>
#include <limits>

#include "planning/nearest_word.h"
#include "planning/register_words.h"
#include "planning/spur.h"
#include "text/vt_error.h"

namespace planning {
namespace {

constexpr size_t kOffered = 2;

ChannelInputs withR(const ChannelInputs& in, int64_t r) {
    ChannelInputs out = in;
    out.plan.r = std::to_string(r);
    return out;
}

std::optional<WordFigures> nearestFiguresWithR(const ChannelInputs& in, int64_t r) {
    try {
        return nearestFigures(withR(in, r), std::nullopt);
    } catch (const text::VtError&) {
        return std::nullopt;  // no nearest word for these inputs (a multiplier of 0 or below)
    }
}

// a's error of that search is smaller than b's, or as small with the smaller R.
bool better(const RChoice& a, const RChoice& b, Search by) {
    const ExactFraction ea = figuresBy(a, by)->errorHz->magnitude(), eb = figuresBy(b, by)->errorHz->magnitude();
    if ((eb - ea).isPositive()) return true;
    if ((ea - eb).isPositive()) return false;
    return a.r < b.r;
}

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
    RChoice choice{r, std::nullopt, {}, std::nullopt};
    try {
        choice.planned = planChannelBy(search, withR(in, r));
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

const WordFigures* figuresBy(const RChoice& c, Search search) {
    if (search == Search::Nearest) return c.nearest ? &*c.nearest : nullptr;
    return c.planned && c.planned->figures ? &*c.planned->figures : nullptr;
}

std::vector<RChoice> clearingRs(const ChannelInputs& in, int64_t ownR, int64_t spurWarnHz, Search rankBy) {
    std::vector<RChoice> best;  // the better first, at most kOffered
    eachOtherR(ownR, [&](int64_t r) {
        RChoice c = planWithR(in, r);
        if (rankBy == Search::Nearest) c.nearest = nearestFiguresWithR(in, r);
        const WordFigures* f = figuresBy(c, rankBy);
        if (!f || !f->errorHz || f->spurs.below(spurWarnHz)) return true;
        const auto at = std::find_if(best.begin(), best.end(), [&](const RChoice& b) { return better(c, b, rankBy); });
        if (at != best.end() || best.size() < kOffered) best.insert(at, std::move(c));
        if (best.size() > kOffered) best.pop_back();
        return true;
    });
    for (RChoice& c : best)
        if (!c.nearest) c.nearest = nearestFiguresWithR(in, c.r);
    return best;
}

}  // namespace planning
