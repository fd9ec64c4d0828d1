// The sweep of a band (vtplan --sweep) beside what it is made of, in one run:
//   bare loop   the planning core's own functions over the same points, the point texts made
//               beforehand and nothing written: findRatios, CalcPLLReg, figuresOf
//   sweep       planning::sweep: the exact stepping and the same functions, nothing written
//   sweep+text  the same with every line formatted, as vtplan writes it (to /dev/null here)
// Each figure is the median of --rounds; the ratio is to the bare loop (goal: the sweep with
// its text within 1.5x). Then vtplan --sweep's peak resident size for 10^3, 10^5 and 10^6 lines
// written to /dev/null (measured first, while this process is small): a sweep streams, so its memory
// does not grow with its length.
// Options: --points N (outputs per R, default 25000), --rounds N (default 5).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/sweep.h"
#include "planning/sweep_text.h"
#include "planning/word_figures.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Keeps the optimiser from dropping work whose result nobody reads.
volatile size_t gSink = 0;

double bareLoop(const planning::SweepInputs& in) {
    std::vector<planning::PlanInputs> typed;
    for (int64_t i = 0; i < in.steps.count(); ++i)
        for (const int64_t r : in.rs)
            typed.push_back({in.steps.text(i, '.'), in.multiplier, in.std, std::to_string(r)});
    const auto start = Clock::now();
    size_t seen = 0;
    for (const planning::PlanInputs& t : typed) {
        const planning::FrequencyPlan plan = planning::findRatios(t);
        planning::RegisterWords words;
        planning::CalcPLLReg(in.cp, in.sd, planning::formatInt(plan.R), planning::formatInt(plan.N_INT),
                             planning::formatInt(plan.NFrac), words);
        seen += planning::figuresOf(t, plan.Multiplier, words).has_value();
    }
    gSink = gSink + seen;
    return secondsSince(start);
}

double sweepOnly(const planning::SweepInputs& in) {
    const auto start = Clock::now();
    size_t seen = 0;
    planning::sweep(in, [&](const planning::SweepPoint& p) { return (seen += p.figures.has_value()), true; });
    gSink = gSink + seen;
    return secondsSince(start);
}

double sweepWithText(const planning::SweepInputs& in, int devNull) {
    const auto start = Clock::now();
    std::string out;
    const planning::SweepTextFormat format{false, '.', planning::kDefaultSpurWarnHz};
    planning::sweep(in, [&](const planning::SweepPoint& p) {
        planning::appendSweepText(out, in, p, format);
        if (out.size() >= (1 << 16)) {
            gSink = gSink + static_cast<size_t>(::write(devNull, out.data(), out.size()));
            out.clear();
        }
        return true;
    });
    gSink = gSink + static_cast<size_t>(::write(devNull, out.data(), out.size()));
    return secondsSince(start);
}

// vtplan's peak resident size in KiB, its output to /dev/null.
long vtplanPeakKb(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> store{VTPLAN_PATH};
    store.insert(store.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : store) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    long kb = -1;
    if (posix_spawn(&pid, VTPLAN_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            kb = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    return kb;
}

}  // namespace

int main(int argc, char** argv) {
    long points = 25000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--points"))
            points = std::max(1L, std::atol(argv[++i]));
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[++i]));
    }
    // First, while this process is small: a spawned child counts its parent's pages until it runs vtplan.
    std::printf("vtplan --sweep peak memory, lines to /dev/null (a sweep streams: no growth with its length)\n");
    std::printf("  %-34s %12s\n", "lines", "peak KiB");
    for (const auto& [lines, range] :
         {std::pair{"1000 (250 outputs x 4 R)", "12300-12302.49"}, std::pair{"100000 (25000 x 4 R)", "12300-12549.99"},
          std::pair{"1000000 (250000 x 4 R)", "12300-14799.99"}})
        std::printf("  %-34s %12ld\n", lines, vtplanPeakKb({"--sweep", range, "0.01", "100", "10", "1,2,3,4"}));
    // 4 R over a band from 12300 MHz, x100 on 10 MHz, in 1 kHz steps.
    const long long lastKhz = 12300000LL + points - 1;
    char to[32];
    std::snprintf(to, sizeof to, "%lld.%03lld", lastKhz / 1000, lastKhz % 1000);
    std::string problem;
    const auto band = planning::SweepSteps::read("12300.000", to, "0.001", '.', problem);
    if (!band) {
        std::fprintf(stderr, "bench_planning_sweep: %s\n", problem.c_str());
        return 1;
    }
    const planning::SweepInputs in{*band, {1, 2, 3, 4}, "100", "10"};
    const double total = static_cast<double>(band->count() * 4);
    const int devNull = ::open("/dev/null", O_WRONLY);
    std::vector<double> bare, plain, text;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(bareLoop(in));
        plain.push_back(sweepOnly(in));
        text.push_back(sweepWithText(in, devNull));
    }
    ::close(devNull);
    const double floor = median(bare);
    std::printf("sweep: %lld outputs x 4 R (12300.000 to %s MHz, step 0.001, x100, STD 10), median of %d rounds\n",
                static_cast<long long>(band->count()), to, rounds);
    std::printf("  %-34s %12s %10s %8s\n", "", "points/s", "us/point", "ratio");
    for (const auto& [name, v] :
         {std::pair{"bare loop (planning functions)", floor}, std::pair{"sweep, no text", median(plain)},
          std::pair{"sweep with its lines (vtplan)", median(text)}})
        std::printf("  %-34s %12.0f %10.2f %8.2f%s\n", name, total / v, v / total * 1e6, v / floor,
                    v == median(text) ? "   (goal <= 1.50)" : "");

    return 0;
}
