#include "planning/sweep_summary.h"

#include "planning/register_words.h"

namespace planning {

SweepSummary::SweepSummary(const std::vector<int64_t>& rs, int64_t thresholdHz) : thresholdHz_(thresholdHz) {
    for (const int64_t r : rs) perR_.push_back(RSummary{r, {}, 0, -1, {}});
}

void SweepSummary::add(const SweepPoint& p) {
    RSummary& s = perR_[p.rIndex];
    if (!p.figures) {
        if (s.failed++ == 0) {
            s.firstFailed = p.index;
            s.firstError = p.error;
        }
        return;
    }
    if (!p.figures->spurs.below(thresholdHz_)) return;
    if (!s.below.empty() && s.below.back().last + 1 == p.index)
        s.below.back().last = p.index;
    else
        s.below.push_back({p.index, p.index});
}

std::string SweepSummary::text(const SweepSteps& steps, char sep) const {
    const std::string threshold = std::to_string(thresholdHz_) + " Hz";
    std::string out;
    const std::string limit = std::to_string(kRefDivLimit);
    for (const RSummary& s : perR_) {
        // As vtplan warns: the runs of such an R are those of the words, which use R 16384.
        if (s.r > kRefDivLimit)
            out += "warning: R " + std::to_string(s.r) + " is above " + limit +
                   ", the most the 02h word holds; the words use R " + limit + '\n';
        out += "R " + std::to_string(s.r) + ": ";
        if (s.below.empty()) out += "nowhere below " + threshold;
        for (size_t i = 0; i < s.below.size() && i < kRunsNamed; ++i) {
            const PointRun& run = s.below[i];
            out += i == 0 ? "below " + threshold + " " : std::string(", ");
            out += run.first == run.last ? "at " + steps.text(run.first, sep)
                                         : "from " + steps.text(run.first, sep) + " to " + steps.text(run.last, sep);
            out += " MHz";
        }
        if (s.below.size() > kRunsNamed) out += " and in " + std::to_string(s.below.size() - kRunsNamed) + " more runs";
        if (s.failed > 0)
            out += "; no plan at " + std::to_string(s.failed) + (s.failed == 1 ? " output" : " outputs") + ", " +
                   steps.text(s.firstFailed, sep) + " MHz: " + s.firstError;
        out += '\n';
    }
    return out;
}

}  // namespace planning
