#pragma once
// Test support: the simulated unit on com1, in a private configuration folder, with the bytes
// it received readable from its log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/device/recorders.h"
#include "tests/vtunit/unit_process.h"

namespace vttest {

struct UnitOnCom1 : ::testing::Test {
    TempDir dir;
    std::string alias = dir.file("vtconfig/ports/com1");
    std::unique_ptr<UnitProcess> unit;

    UnitOnCom1() { ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }

    void startUnit(std::vector<std::string> args) {
        args.insert(args.end(), {"--memory-file", dir.file("memory")});
        unit = std::make_unique<UnitProcess>(dir.path(), dir.file("log"), args);
        ASSERT_TRUE(UnitProcess::waitForPath(alias));
    }
    // The bytes the unit received, as logged by it ("49", "0D", ...).
    std::vector<std::string> received() { return loggedBytes(dir.file("log")); }
    bool unitGot(std::size_t n) {
        return pumpUntil([&] { return received().size() >= n; });
    }
};

}  // namespace vttest
