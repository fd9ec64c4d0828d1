// The nearest word's search beside the window's, in one run:
//   search  one channel planned as "set" plans it (planChannel against planNearestChannel) on the
//           points of a band and on the rows of the table that asked for the nearest word
//           (goal: the nearest word's within 2x of the window's);
//   sweep   vtplan --sweep --nearest against the bare loop of bench_planning_sweep, the window's
//           search over the same points with nothing written (goal: with its lines within 1.5x).
// Each figure is the median of --rounds, the two sides taking turns in every round.
// Options: --points N (outputs per R, default 25000), --rounds N (default 5).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_options.h"
#include "planning/channel_plan.h"
#include "planning/nearest_word.h"
#include "sweep_rig.h"

namespace {

using benchrig::median;

// Seconds to plan every input once with plan.
double planEach(const std::vector<planning::ChannelInputs>& inputs,
                const std::function<planning::PlannedChannel(const planning::ChannelInputs&)>& plan) {
    const auto start = benchrig::Clock::now();
    size_t seen = 0;
    for (const planning::ChannelInputs& in : inputs) seen += plan(in).figures.has_value();
    benchrig::gSink = benchrig::gSink + seen;
    return benchrig::secondsSince(start);
}

// The two searches on the same inputs: microseconds per plan, each and their ratio.
void compareSearches(const char* name, const std::vector<planning::ChannelInputs>& inputs, int rounds) {
    std::vector<double> window, nearest;
    for (int r = 0; r < rounds; ++r) {
        window.push_back(planEach(inputs, planning::planChannel));
        nearest.push_back(planEach(inputs, planning::planNearestChannel));
    }
    const double n = static_cast<double>(inputs.size());
    std::printf("  %-30s %8zu %12.2f %12.2f %8.2f\n", name, inputs.size(), median(window) / n * 1e6,
                median(nearest) / n * 1e6, median(nearest) / median(window));
}

}  // namespace

int main(int argc, char** argv) {
    long points = 25000;
    int rounds = 5;
    benchrig::readBenchOptions(argc, argv, {{"points", &points, 1, 250000}, {"rounds", &rounds, 1, 1000}});
    std::string to, problem;
    const auto band = benchrig::benchBand(points, to, problem);
    if (!band) {
        std::fprintf(stderr, "bench_planning_nearest: %s\n", problem.c_str());
        return 1;
    }
    const planning::SweepInputs& in = *band;

    std::vector<planning::ChannelInputs> bandPlans, tableRows;
    for (const planning::PlanInputs& typed : benchrig::typedPoints(in)) bandPlans.push_back({typed, in.cp, in.sd});
    const planning::PlanInputs rows[] = {{"12340", "100", "10", "3"},        {"12340", "100", "10", "11"},
                                         {"12340", "100", "10", "1024"},     {"12340", "100", "10", "16383"},
                                         {"11999.999999", "100", "10", "1"}, {"9876.54321", "48", "19.2", "5"}};
    while (tableRows.size() < bandPlans.size())
        for (const planning::PlanInputs& row : rows) tableRows.push_back({row, {}, {}});
    std::printf("search: one channel planned, median of %d rounds\n", rounds);
    std::printf("  %-30s %8s %12s %12s %8s\n", "inputs", "plans", "window us", "nearest us", "ratio");
    compareSearches("the band below", bandPlans, rounds);
    compareSearches("the issue's table, repeated", tableRows, rounds);
    std::printf("  (goal: ratio <= 2.00)\n\n");

    planning::SweepInputs nearestIn = in;
    nearestIn.search = planning::Search::Nearest;
    const int devNull = ::open("/dev/null", O_WRONLY);
    std::vector<double> bare, window, plain, text;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(benchrig::bareLoop(in));
        window.push_back(benchrig::sweepWithText(in, devNull));
        plain.push_back(benchrig::sweepOnly(nearestIn));
        text.push_back(benchrig::sweepWithText(nearestIn, devNull));
    }
    ::close(devNull);
    const double floor = median(bare), total = static_cast<double>(in.steps.count() * 4);
    std::printf("sweep: %lld outputs x 4 R (12300.000 to %s MHz, step 0.001, x100, STD 10), median of %d rounds\n",
                static_cast<long long>(in.steps.count()), to.c_str(), rounds);
    std::printf("  %-34s %12s %10s %8s\n", "", "points/s", "us/point", "ratio");
    for (const auto& [name, v] :
         {std::pair{"bare loop (window's search)", floor}, std::pair{"sweep with its lines", median(window)},
          std::pair{"sweep --nearest, no text", median(plain)},
          std::pair{"sweep --nearest with its lines", median(text)}})
        std::printf("  %-34s %12.0f %10.2f %8.2f%s\n", name, total / v, v / total * 1e6, v / floor,
                    v == median(text) ? "   (goal <= 1.50)" : "");
    return 0;
}
