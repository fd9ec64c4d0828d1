#pragma once
// Simulated units on com1, com2, ... of one private configuration folder, as vtctl finds them;
// unit N logs to logN and keeps its memory in memoryN there; vtctl run against them.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "headerfile/header_text.h"
#include "protocol/unit_protocol.h"
#include "testkit/unit_process.h"
#include "tests/device/example_words.h"
#include "tests/vtctl/vtctl_run.h"

namespace vttest {

struct UnitsOnPorts : ::testing::Test {
    ConfigHome dir;
    std::map<int, std::unique_ptr<UnitProcess>> units;

    std::string name(int n) const { return "com" + std::to_string(n); }
    // Runs vtctl to its end; the exit status.
    static int run(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
        VtctlRun vtctl(std::move(args));
        const int status = vtctl.wait();
        if (out) *out = vtctl.out();
        if (err) *err = vtctl.err();
        return status;
    }
    void startUnit(int n, std::vector<std::string> args = {}) {
        args.insert(args.end(), {"--port", name(n), "--memory-file", dir.file("memory" + std::to_string(n))});
        units[n] = std::make_unique<UnitProcess>(dir.path(), dir.file("log" + std::to_string(n)), std::move(args));
        ASSERT_TRUE(UnitProcess::waitForPath(dir.portAlias(n)));
    }
    std::vector<std::string> received(int n) const { return loggedBytes(dir.file("log" + std::to_string(n))); }
    std::string memory(int n) const { return readWholeFile(dir.file("memory" + std::to_string(n))); }
    // The bytes unit n received once count of them have come (or after a while, when they do not).
    std::vector<std::string> receivedOnce(int n, std::size_t count) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (received(n).size() < count && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // room for a byte too many
        return received(n);
    }
};

// A register header with channels 0 and 6 set, written to path; the image the unit should hold.
inline std::string writeExampleHeader(const std::string& path) {
    planning::ChannelTable table;
    table.set(0, kExampleWords, "12340MHz");
    table.set(6, {0x04000010, 0x060000A2, 0x08000001, 0x1340FFFE, 0}, "ch6");
    writeBytes(path, headerfile::headerFileBytes(table, "//2026/01/31 9:30:00"));
    const auto image = protocol::writeImage(table);
    return std::string(image.begin(), image.end());
}

}  // namespace vttest
