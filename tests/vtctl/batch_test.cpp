// vtctl on several ports at once: each port has its own thread and link, a silent unit fails
// alone, and the summary says which.
#include <gtest/gtest.h>

#include <regex>

#include "tests/vtctl/units.h"
#include "tests/vtctl/vtctl_run.h"

using VtctlBatch = vttest::UnitsOnPorts;

TEST_F(VtctlBatch, FourPortsAtOnceWithOneSilentUnit) {
    for (int n = 1; n <= 4; ++n)
        startUnit(n, n == 3 ? std::vector<std::string>{"--silent"} : std::vector<std::string>{});
    const std::string image = vttest::writeExampleHeader(dir.file("table.h"));
    vttest::VtctlRun vtctl(
        {"--port", "com1", "--port", "com2", "--port", "com3", "--port", "com4", "write", dir.file("table.h")});
    EXPECT_EQ(vtctl.wait(), 1);
    EXPECT_EQ(vtctl.err(), "");
    const std::regex summary(
        "com1: done in [0-9]+\\.[0-9]{3} s\n"
        "com2: done in [0-9]+\\.[0-9]{3} s\n"
        "com3: failed after [0-9]+\\.[0-9]{3} s: No reply from the unit\n"
        "com4: done in [0-9]+\\.[0-9]{3} s\n");
    EXPECT_TRUE(std::regex_match(vtctl.out(), summary)) << vtctl.out();
    for (int n : {1, 2, 4}) {
        EXPECT_EQ(receivedOnce(n, 130).size(), 130u) << n;
        EXPECT_EQ(memory(n), image) << n;
    }
    EXPECT_EQ(receivedOnce(3, 1), std::vector<std::string>{"57"});
}
