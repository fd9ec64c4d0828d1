// "Write" (130 one-byte handshakes) through the window's link on a line paced like a real one
// (vtunit --baud), with and without a USB adapter's latency timer (vtunit --latency), as a ratio
// to the line floor: 130 handshakes of two byte times (10 bits a byte), the least any link can
// take. Beside it the raw write/poll/read loop on the same simulated line, which shows what the
// simulation itself adds; raw loop and link take turns, round by round, so that both see the same
// load, and "link/raw" is the median of the rounds' ratios. 1 ms is the timer of an adapter in
// low-latency mode, 16 ms its default.
// Options: --rounds N (default 5), --line-writes N (Writes of the link per round, default 2),
// --baud B and --latency L (only that case; L 0 for none).
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "bench/device/link_rig.h"

namespace {

using benchrig::Clock;

// Milliseconds per Write, one per Write, or empty when a Write went wrong.
std::vector<double> writeTimes(const std::string& path, const char* baud, int writes) {
    benchrig::StringView view;
    benchrig::Link l(view, path, baud);
    const planning::ChannelTable table = benchrig::fullTable();
    std::vector<double> ms;
    for (int w = 0; w < writes; ++w) {
        const auto start = Clock::now();
        if (l.link.write(table) != device::Outcome::Reply || l.link.fields.RxCount != 130) return {};
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return ms;
}

void benchCase(const char* baud, int latencyMs, int rounds, int writes) {
    std::vector<std::string> args{"--baud", baud};
    if (latencyMs > 0) args.insert(args.end(), {"--latency", std::to_string(latencyMs)});
    benchrig::Unit unit(args);
    const double floorMs = 130 * 2 * 10 * 1000.0 / std::atof(baud);
    std::vector<double> raws, links, ratios;
    for (int r = 0; r < rounds; ++r) {
        const double raw = vttest::rawHandshakes(unit.slave, 1) * 130 / 1000;
        const double link = benchrig::median(writeTimes(unit.slave, baud, writes));
        raws.push_back(raw);
        links.push_back(link);
        ratios.push_back(link / raw);
    }
    const double raw = benchrig::median(raws);
    const double link = benchrig::median(links);
    char latency[16];
    std::snprintf(latency, sizeof latency, latencyMs ? "%d ms" : "none", latencyMs);
    std::printf("  %8s %8s %10.1f %10.1f %7.2f %10.1f %7.2f %9.3f\n", baud, latency, floorMs, raw, raw / floorMs, link,
                link / floorMs, benchrig::median(ratios));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    host::QtHost qtHost;
    benchrig::QuietNotifier quiet;
    setNotifier(&quiet);
    int rounds = 5;
    int writes = 2;
    std::string onlyBaud;
    int onlyLatency = -1;
    benchrig::readBenchOptions(argc, argv,
                               {{"rounds", &rounds, 1, 1000},
                                {"line-writes", &writes, 1, 1000},
                                {"baud", &onlyBaud},
                                {"latency", &onlyLatency, 0, 1000}});
    std::printf(
        "write on a paced line: %d rounds per case of one raw Write and %d of the link, medians; "
        "vtunit --baud/--latency\n",
        rounds, writes);
    std::printf("  %8s %8s %10s %10s %7s %10s %7s %9s\n", "baud", "latency", "floor ms", "raw ms", "ratio", "Write ms",
                "ratio", "link/raw");
    for (const char* baud : {"9600", "115200"}) {
        if (!onlyBaud.empty() && onlyBaud != baud) continue;
        for (int latency : {0, 1, 16}) {
            if (onlyLatency < 0 || onlyLatency == latency) benchCase(baud, latency, rounds, writes);
        }
    }
    setNotifier(nullptr);
    return 0;
}
