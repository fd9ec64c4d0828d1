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

TEST(UnitOptions, EveryFaultSwitchIsTaken) {
    auto r = parseOptions({"--port", "COM12", "--silent", "--stop-after", "5", "--reply-delay=20", "--baud",
                           "9600", "--hangup-after", "7", "--flood", "1048576", "--memory-file", "/tmp/m",
                           "--force", "--print-slave", "--slave-file", "/tmp/s"});
    ASSERT_EQ(r.error, "");
    const auto& o = r.options;
    EXPECT_EQ(o.port, "com12");
    EXPECT_TRUE(o.faults.silent);
    EXPECT_EQ(o.faults.stopAfter, 5);
    EXPECT_EQ(o.replyDelayMs, 20);
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.faults.hangupAfter, 7);
    EXPECT_EQ(o.flood, 1048576);
    EXPECT_EQ(o.memoryFile, "/tmp/m");
    EXPECT_TRUE(o.force);
    EXPECT_TRUE(o.printSlave);
    EXPECT_EQ(o.slaveFile, "/tmp/s");
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

TEST(UnitOptions, HelpDocumentsTheDump) {
    const std::string help = vtunit::helpText();
    EXPECT_NE(help.find("06, the 128 memory bytes, the channel byte"), std::string::npos);
}
