// "Write" (130 one-byte handshakes) through the window's link on a line paced like a real one
// (vtunit --baud), with and without a USB adapter's latency timer (vtunit --latency), as a ratio
// to the line floor: 130 handshakes of two byte times (10 bits a byte), the least any link can
// take. Beside it the raw write/poll/read loop on the same simulated line, which shows what the
// simulation itself adds. 1 ms is the timer of an adapter in low-latency mode, 16 ms its default.
// Options: --line-writes N (Writes per case, default 3).
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

void benchCase(const char* baud, int latencyMs, int writes) {
    std::vector<std::string> args{"--baud", baud};
    if (latencyMs > 0) args.insert(args.end(), {"--latency", std::to_string(latencyMs)});
    benchrig::Unit unit(args);
    const double floorMs = 130 * 2 * 10 * 1000.0 / std::atof(baud);
    const double raw = vttest::rawHandshakes(unit.slave, 1) * 130 / 1000;
    const double link = benchrig::median(writeTimes(unit.slave, baud, writes));
    char latency[16];
    std::snprintf(latency, sizeof latency, latencyMs ? "%d ms" : "none", latencyMs);
    std::printf("  %8s %8s %10.1f %10.1f %7.2f %10.1f %7.2f\n", baud, latency, floorMs, raw, raw / floorMs, link,
                link / floorMs);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    host::QtHost qtHost;
    benchrig::QuietNotifier quiet;
    setNotifier(&quiet);
    int writes = 3;
    benchrig::readBenchOptions(argc, argv, {{"line-writes", &writes, 1, 1000}});
    std::printf("write on a paced line: median of %d Writes (130 handshakes) per case, vtunit --baud/--latency\n",
                writes);
    std::printf("  %8s %8s %10s %10s %7s %10s %7s\n", "baud", "latency", "floor ms", "raw ms", "ratio", "Write ms",
                "ratio");
    for (const char* baud : {"9600", "115200"}) {
        for (int latency : {0, 1, 16}) benchCase(baud, latency, writes);
    }
    setNotifier(nullptr);
    return 0;
}
