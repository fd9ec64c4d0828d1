#pragma once
// The answer of a sweep without the picture: for each R, the runs of outputs where its nearer
// spur is closer to the carrier than the threshold, and where its plan fails.
#include <cstdint>
#include <string>
#include <vector>

#include "planning/sweep.h"

namespace planning {

struct PointRun {
    int64_t first = 0, last = 0;  // indexes of outputs, both in the run
};

struct RSummary {
    int64_t r = 0;
    std::vector<PointRun> below;  // the spur nearer than the threshold; no spur is never below
    int64_t failed = 0;           // outputs whose plan fails
    int64_t firstFailed = -1;
    std::string firstError;
};

class SweepSummary {
public:
    SweepSummary(const std::vector<int64_t>& rs, int64_t thresholdHz);
    // Points of one R come in ascending order of output; a run goes on only over neighbours.
    void add(const SweepPoint& point);

    const std::vector<RSummary>& perR() const { return perR_; }
    int64_t thresholdHz() const { return thresholdHz_; }

    // One line per R: "R 3: below 1000000 Hz from 12336.8 to 12343.2 MHz", more runs after
    // commas, at most kRunsNamed of them and then how many more; before the line of an R above
    // 16384, vtplan's warning that the words use R 16384.
    std::string text(const SweepSteps& steps, char decimalSeparator) const;
    static constexpr size_t kRunsNamed = 6;

private:
    std::vector<RSummary> perR_;
    int64_t thresholdHz_;
};

}  // namespace planning
