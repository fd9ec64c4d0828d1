// The Channels page's search for the nearest values of R whose spur clears the threshold
// (planning::clearingRs), which runs on the GUI thread at every "set", Open…, Write and step of
// the threshold box. Timed for a slot's own R from 2 to 10^9, on two kinds of input:
//   found      12340 MHz, x100, STD 10 MHz, threshold 1 MHz: R near the own one clear it;
//   none       9876.54321 MHz, x48, STD 19.2 MHz, threshold 10^12 Hz: no R clears it, so the
//              whole range is searched (the worst case).
// Beside it the search as it was before it was bounded (up to 4 x R values of R, each side of
// the own R): run where it takes less than about a second, else estimated from the time of one
// plan and the number of plans it would try. Target: the bounded search's worst case a few ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/bench_options.h"
#include "planning/r_choice.h"
#include "planning/spur.h"

namespace {

using Clock = std::chrono::steady_clock;
using planning::ChannelInputs;
using planning::RChoice;

// The search before it was bounded, kept here to be measured beside the one in use; it gives up
// after budget plans (returns false then).
bool unboundedSearch(const ChannelInputs& in, int64_t ownR, int64_t spurWarnHz, int64_t budget) {
    std::size_t found = 0;
    const auto clears = [&](int64_t r) {
        if (r < 1 || r > 4 * ownR) return;
        --budget;
        const RChoice c = planning::planWithR(in, r);
        if (c.planned && c.planned->figures && !c.planned->figures->spurs.below(spurWarnHz)) ++found;
    };
    for (int64_t step = 1; found < 2 && step < 4 * ownR; ++step) {
        if (budget <= 0) return false;
        clears(ownR - step);
        if (found < 2) clears(ownR + step);
    }
    return true;
}

// The median of rounds runs of f, in milliseconds.
double medianMs(int rounds, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

ChannelInputs inputs(const char* out, const char* mult, const char* std) {
    ChannelInputs in;
    in.plan = {out, mult, std, "1", '.'};
    return in;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    benchrig::readBenchOptions(argc, argv, {{"rounds", &rounds, 1, 1000}});

    struct Case {
        const char* name;
        ChannelInputs in;
        int64_t spurWarnHz;
    };
    const Case cases[] = {{"found", inputs("12340", "100", "10"), 1000000},
                          {"none", inputs("9876.54321", "48", "19.2"), 1000000000000}};
    const double onePlanMs = medianMs(rounds,
                                      [&] {
                                          for (int i = 0; i < 1000; ++i)
                                              (void)planning::planWithR(cases[0].in, 3 + i % 7);
                                      }) /
                             1000;
    std::printf("one plan: %.4f ms (median of %d rounds of 1000)\n\n", onePlanMs, rounds);
    std::printf("%-6s %10s %8s %12s %14s %8s\n", "case", "own R", "found", "bounded ms", "before ms", "ratio");
    for (const Case& c : cases) {
        for (const int64_t ownR : {int64_t{2}, int64_t{3}, int64_t{1000}, int64_t{4096}, int64_t{16384}, int64_t{20000},
                                   int64_t{10000000}, int64_t{1000000000}}) {
            std::size_t found = 0;
            const double bounded =
                medianMs(rounds, [&] { found = planning::clearingRs(c.in, ownR, c.spurWarnHz).size(); });
            // Before: up to 8 x R plans; run for at most about a second's worth of plans, else
            // estimated from the plans it would try at most.
            bool done = false;
            double beforeMs = medianMs(
                1, [&] { done = unboundedSearch(c.in, ownR, c.spurWarnHz, static_cast<int64_t>(1000 / onePlanMs)); });
            if (!done) beforeMs = 8.0 * static_cast<double>(ownR) * onePlanMs;
            char before[32];
            std::snprintf(before, sizeof before, done ? "%.3f" : "~%.0f", beforeMs);
            std::printf("%-6s %10lld %8zu %12.3f %14s %8.0f\n", c.name, static_cast<long long>(ownR), found, bounded,
                        before, beforeMs / std::max(bounded, 1e-6));
        }
    }
    return 0;
}
