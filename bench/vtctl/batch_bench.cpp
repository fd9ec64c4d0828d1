// vtctl on a batch of units: "write" to eight simulated units at once beside "write" to one of
// them, in the same run, as a script would time it (the whole vtctl process). The units pace
// the line at --baud (default 115200), each on its own pty alias in a private configuration
// folder. Beside it the line floor: 130 handshakes of two byte times (the byte out and the
// reply back). Target: eight at once within 1.3x of one.
// Options: --rounds N (default 7), --units N (default 8), --baud B (9600 or 115200).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_options.h"
#include "headerfile/header_text.h"
#include "testkit/raw_handshakes.h"
#include "testkit/temp_dir.h"
#include "testkit/unit_process.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int rounds = 7;
    int units = 8;
    int baud = 115200;
};

Options readOptions(int argc, char** argv) {
    Options o;
    std::string baud = "115200";
    benchrig::readBenchOptions(argc, argv,
                               {{"rounds", &o.rounds, 1, 1000}, {"units", &o.units, 2, 12}, {"baud", &baud}});
    if (baud != "9600" && baud != "115200") {
        std::fprintf(stderr, "%s: --baud is 9600 or 115200, not '%s'\n", argv[0], baud.c_str());
        std::exit(2);
    }
    o.baud = std::stoi(baud);
    return o;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A full table: every byte of the image differs from its neighbours.
planning::ChannelTable fullTable() {
    planning::ChannelTable table;
    for (int c = 0; c < planning::ChannelTable::kChannels; ++c) {
        const auto k = static_cast<std::uint32_t>(c);
        table.set(c, {0x04000004 + k, 0x06000018 + (k << 8), 0x08AE147A - k, 0x13407FFE, 0}, "ch" + std::to_string(c));
    }
    return table;
}

struct Timing {
    double wallMs = -1;  // -1: vtctl did not succeed
    double cpuMs = 0;    // user and system time of the vtctl process
};

// Runs vtctl with args to its end.
Timing timedRun(std::vector<std::string> args) {
    args.insert(args.begin(), VTCTL_BINARY);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    rusage usage{};
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::wait4(pid, &status, 0, &usage);
    const auto end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    Timing t;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return t;
    auto ms = [](const timeval& tv) { return tv.tv_sec * 1000.0 + tv.tv_usec / 1000.0; };
    t.wallMs = std::chrono::duration<double, std::milli>(end - start).count();
    t.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return t;
}

// CPU time the simulated units have used so far, from the scheduler's own count (exact, unlike
// the clock ticks of /proc/<pid>/stat).
using Units = std::vector<std::unique_ptr<vttest::UnitProcess>>;

double unitsCpuMs(const Units& units, int count) {
    double ns = 0;
    for (int i = 0; i < count; ++i) {
        std::ifstream in("/proc/" + std::to_string(units[static_cast<std::size_t>(i)]->pid()) + "/schedstat");
        double onCpu = 0;
        in >> onCpu;
        ns += onCpu;
    }
    return ns / 1e6;
}

std::vector<std::string> writeArgs(const Options& o, int units, const std::string& header) {
    std::vector<std::string> args{"--baud", std::to_string(o.baud)};
    for (int n = 1; n <= units; ++n) args.insert(args.end(), {"--port", "com" + std::to_string(n)});
    args.insert(args.end(), {"write", header});
    return args;
}

// The floor's own scaling: one Write's handshakes by hand on each of the first count units at
// once, a thread each, with nothing of ours in between; wall ms, or -1 when one failed.
double rawRun(const vttest::ConfigHome& dir, int count) {
    std::vector<std::thread> threads;
    std::vector<double> us(static_cast<std::size_t>(count));
    const auto start = Clock::now();
    for (int n = 1; n <= count; ++n)
        threads.emplace_back(
            [&, n] { us[static_cast<std::size_t>(n - 1)] = vttest::rawHandshakes(dir.portAlias(n), 1); });
    for (std::thread& t : threads) t.join();
    if (std::any_of(us.begin(), us.end(), [](double v) { return v < 0; })) return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One unit and all of them, alternating so that both see the same machine.
struct Samples {
    std::vector<double> ms, cpu, unitsCpu, rawMs;
};

bool measure(const Options& o, const vttest::ConfigHome& dir, const Units& units, const std::string& header,
             Samples& one, Samples& all) {
    for (int r = 0; r < o.rounds; ++r) {
        for (const int count : {1, o.units}) {
            Samples& s = count == 1 ? one : all;
            const double before = unitsCpuMs(units, o.units);
            const Timing t = timedRun(writeArgs(o, count, header));
            s.unitsCpu.push_back(unitsCpuMs(units, o.units) - before);
            s.ms.push_back(t.wallMs);
            s.cpu.push_back(t.cpuMs);
            s.rawMs.push_back(rawRun(dir, count));
            if (t.wallMs < 0 || s.rawMs.back() < 0) return false;
        }
    }
    return true;
}

void print(const Options& o, const Samples& one, const Samples& all) {
    const double floorMs = 130 * 2 * 10 * 1000.0 / o.baud;
    std::printf("vtctl write, %d baud, median of %d rounds (whole process, start to exit)\n", o.baud, o.rounds);
    std::printf("%-22s %10s %10s %12s %12s %10s %10s\n", "", "ms", "x floor", "vtctl cpu ms", "units cpu ms",
                "cores busy", "raw ms");
    std::printf("%-22s %10.1f %10.2f\n", "line floor (130 x 2)", floorMs, 1.0);
    const auto row = [&](const std::string& name, const Samples& s) {
        const double ms = median(s.ms), cpu = median(s.cpu), unitsCpu = median(s.unitsCpu);
        std::printf("%-22s %10.1f %10.2f %12.1f %12.1f %10.2f %10.1f\n", name.c_str(), ms, ms / floorMs, cpu, unitsCpu,
                    (cpu + unitsCpu) / ms, median(s.rawMs));
    };
    row("one unit", one);
    row(std::to_string(o.units) + " units at once", all);
    std::printf("%d at once / one: vtctl %.2fx (target < 1.3x), raw loops %.2fx; on a machine of %ld cores\n", o.units,
                median(all.ms) / median(one.ms), median(all.rawMs) / median(one.rawMs),
                ::sysconf(_SC_NPROCESSORS_ONLN));
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = readOptions(argc, argv);
    vttest::ConfigHome dir;
    Units units;
    for (int n = 1; n <= o.units; ++n) {
        const std::string name = "com" + std::to_string(n);
        units.push_back(std::make_unique<vttest::UnitProcess>(
            dir.path(), "/dev/null", std::vector<std::string>{"--port", name, "--baud", std::to_string(o.baud)}));
        if (!vttest::UnitProcess::waitForPath(dir.portAlias(n))) {
            std::fprintf(stderr, "bench_vtctl_batch: unit on %s did not start\n", name.c_str());
            return 1;
        }
    }
    const std::string header = dir.file("table.h");
    vttest::writeBytes(header, headerfile::headerFileBytes(fullTable(), "//2026/01/31 9:30:00"));
    Samples one, all;
    if (!measure(o, dir, units, header, one, all)) {
        std::fprintf(stderr, "bench_vtctl_batch: a write failed\n");
        return 1;
    }
    print(o, one, all);
    return 0;
}
