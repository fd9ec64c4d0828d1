#pragma once
// The device tests' stage: the simulated unit on com1 of a private configuration folder, with
// the bytes it received readable from its log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/qt/pump.h"
#include "testkit/unit_process.h"

namespace vttest {

struct UnitOnCom1 : ::testing::Test, SimulatedUnit {
    void startUnit(std::vector<std::string> args) { ASSERT_TRUE(start(std::move(args))); }
    // Runs the event loop until the unit has received n bytes; false when they did not come.
    bool unitGot(std::size_t n) {
        return pumpUntil([&] { return received().size() >= n; });
    }
};

}  // namespace vttest
