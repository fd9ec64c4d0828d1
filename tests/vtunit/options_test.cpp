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
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--port", "ttyS0"},
                                               {"--port", "com0"},
                                               {"--port", "com"},
                                               {"--port", "com1x"},
                                               {"--stop-after", "-1"},
                                               {"--stop-after", "x"},
                                               {"--stop-after"},
                                               {"--baud", "0"},
                                               {"--hangup-after", "0"},
                                               {"--silent=1"},
                                               {"--colour"},
                                               {"--memory-file", ""},
                                               {"--"},
                                               {"--reply-delay", "99999999999999999999999"}}) {
        auto r = parseOptions(bad);
        EXPECT_NE(r.error, "") << bad[0];
    }
}

// Values that would exhaust memory or overflow the clock arithmetic are usage errors naming
// the range; the edges of the ranges are taken.
TEST(UnitOptions, ExtremeValuesAreRefusedWithTheirRange) {
    const std::string huge = "9223372036854775807";
    for (const char* name : {"--flood", "--reply-delay", "--baud", "--latency"}) {
        auto r = parseOptions({name, huge});
        EXPECT_NE(r.error.find(std::string(name) + ": " + huge + " is out of range"), std::string::npos) << r.error;
    }
    auto r =
        parseOptions({"--flood", "1073741824", "--reply-delay", "86400000", "--baud", "4000000", "--latency", "255"});
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.options.flood, 1LL << 30);
    EXPECT_EQ(r.options.latencyMs, 255);
    EXPECT_NE(parseOptions({"--flood", "1073741825"}).error, "");
    EXPECT_NE(parseOptions({"--latency", "256"}).error, "");
}
