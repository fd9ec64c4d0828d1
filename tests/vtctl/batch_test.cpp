// vtctl on several ports at once: each port has its own thread and link, a silent unit fails
// alone, and the summary says which.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/vtctl/units.h"
#include "tests/vtctl/vtctl_run.h"

using VtctlBatch = vttest::UnitsOnPorts;

namespace {

bool isTime(const std::string& word) {
    return word.find_first_not_of("0123456789.") == std::string::npos && word.find('.') != std::string::npos;
}

// The text with every time ("0.164") as T.
std::string timeless(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        // No separator string assigned " " in the loop: on that GCC 12 at -O3 warns (-Wrestrict).
        bool first = true;
        for (std::string w; words >> w; first = false) {
            if (!first) out += ' ';
            out += isTime(w) ? "T" : w;
        }
        out += '\n';
    }
    return out;
}

}  // namespace

TEST_F(VtctlBatch, FourPortsAtOnceWithOneSilentUnit) {
    for (int n = 1; n <= 4; ++n)
        startUnit(n, n == 3 ? std::vector<std::string>{"--silent"} : std::vector<std::string>{});
    const std::string image = vttest::writeExampleHeader(dir.file("table.h"));
    vttest::VtctlRun vtctl(
        {"--port", "com1", "--port", "com2", "--port", "com3", "--port", "com4", "write", dir.file("table.h")});
    EXPECT_EQ(vtctl.wait(), 1);
    EXPECT_EQ(vtctl.err(), "");
    EXPECT_EQ(timeless(vtctl.out()),
              "com1: done in T s\n"
              "com2: done in T s\n"
              "com3: failed after T s: No reply from the unit\n"
              "com4: done in T s\n")
        << vtctl.out();
    for (int n : {1, 2, 4}) {
        EXPECT_EQ(receivedOnce(n, 130).size(), 130u) << n;
        EXPECT_EQ(memory(n), image) << n;
    }
    EXPECT_EQ(receivedOnce(3, 1), std::vector<std::string>{"57"});
}
