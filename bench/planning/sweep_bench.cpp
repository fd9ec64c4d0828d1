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
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "sweep_rig.h"

extern char** environ;

namespace {

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
    benchrig::readBenchOptions(argc, argv, {{"points", &points, 1, 250000}, {"rounds", &rounds, 1, 1000}});
    // First, while this process is small: a spawned child counts its parent's pages until it runs vtplan.
    std::printf("vtplan --sweep peak memory, lines to /dev/null (a sweep streams: no growth with its length)\n");
    std::printf("  %-34s %12s\n", "lines", "peak KiB");
    for (const auto& [lines, range] :
         {std::pair{"1000 (250 outputs x 4 R)", "12300-12302.49"}, std::pair{"100000 (25000 x 4 R)", "12300-12549.99"},
          std::pair{"1000000 (250000 x 4 R)", "12300-14799.99"}})
        std::printf("  %-34s %12ld\n", lines, vtplanPeakKb({"--sweep", range, "0.01", "100", "10", "1,2,3,4"}));
    std::string to, problem;
    const auto band = benchrig::benchBand(points, to, problem);
    if (!band) {
        std::fprintf(stderr, "bench_planning_sweep: %s\n", problem.c_str());
        return 1;
    }
    const planning::SweepInputs& in = *band;
    const double total = static_cast<double>(in.steps.count() * 4);
    const int devNull = ::open("/dev/null", O_WRONLY);
    std::vector<double> bare, plain, text;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(benchrig::bareLoop(in));
        plain.push_back(benchrig::sweepOnly(in));
        text.push_back(benchrig::sweepWithText(in, devNull));
    }
    ::close(devNull);
    using benchrig::median;
    const double floor = median(bare);
    std::printf("sweep: %lld outputs x 4 R (12300.000 to %s MHz, step 0.001, x100, STD 10), median of %d rounds\n",
                static_cast<long long>(in.steps.count()), to.c_str(), rounds);
    std::printf("  %-34s %12s %10s %8s\n", "", "points/s", "us/point", "ratio");
    for (const auto& [name, v] :
         {std::pair{"bare loop (planning functions)", floor}, std::pair{"sweep, no text", median(plain)},
          std::pair{"sweep with its lines (vtplan)", median(text)}})
        std::printf("  %-34s %12.0f %10.2f %8.2f%s\n", name, total / v, v / total * 1e6, v / floor,
                    v == median(text) ? "   (goal <= 1.50)" : "");

    return 0;
}
