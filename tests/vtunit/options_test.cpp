// The simulated unit's command line: good lines set what they say, bad ones are refused.
#include <gtest/gtest.h>

#include "tools/vtunit/options.h"

using vtunit::parseOptions;

TEST(UnitOptions, DefaultsAreCom1WithNoFaults) {
    auto r = parseOptions({});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.port, "com1");
    EXPECT_TRUE(r.options.link);
    EXPECT_FALSE(r.options.faults.silent);
    EXPECT_EQ(r.options.faults.stopAfter, -1);
    EXPECT_EQ(r.options.faults.hangupAfter, -1);
    EXPECT_EQ(r.options.baud, 0);
}

TEST(UnitOptions, BadLinesAreRefusedWithTheirReason) {
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"--port", "ttyS0"}, {"--port", "com0"}, {"--port", "com"}, {"--port", "com1x"},
             {"--stop-after", "-1"}, {"--stop-after", "x"}, {"--stop-after"}, {"--baud", "0"},
             {"--hangup-after", "0"}, {"--silent=1"}, {"--colour"}, {"--memory-file", ""},
             {"--reply-delay", "99999999999999999999999"}}) {
        auto r = parseOptions(bad);
        EXPECT_NE(r.error, "") << bad[0];
    }
}

