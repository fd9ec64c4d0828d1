// The simulated controller's protocol, byte by byte.
#include <gtest/gtest.h>

#include "tools/vtunit/unit.h"

using vtunit::Faults;
using vtunit::Unit;

namespace {

std::string feed(Unit& u, const std::string& bytes) {
    std::string replies;
    for (char c : bytes) replies += u.receive(static_cast<std::uint8_t>(c)).reply;
    return replies;
}

std::string image() {
    std::string s;
    for (int i = 0; i < 128; ++i) s.push_back(static_cast<char>(0xFF - i));
    return s;
}

}  // namespace

TEST(UnitProtocol, EveryByteOfAWriteIsAcknowledgedAndTheImageStored) {
    Unit u;
    const std::string replies = feed(u, "W\r" + image());
    EXPECT_EQ(replies, std::string(130, '\x06'));
    const auto& m = u.memory();
    EXPECT_EQ(std::string(m.begin(), m.end()), image());
}

TEST(UnitProtocol, TheWriteCompletesOnTheLastImageByteOnly) {
    Unit u;
    feed(u, "W\r");
    for (int i = 0; i < 127; ++i) EXPECT_FALSE(u.receive(0x11).memoryChanged) << i;
    EXPECT_TRUE(u.receive(0x11).memoryChanged);
    EXPECT_FALSE(u.receive(0x11).memoryChanged);
}

TEST(UnitProtocol, DumpAnswersAckMemoryAndChannel) {
    Unit u;
    feed(u, "W\r" + image() + "5\r");
    const std::string dump = feed(u, "D");
    ASSERT_EQ(dump.size(), 130u);
    EXPECT_EQ(dump[0], '\x06');
    EXPECT_EQ(dump.substr(1, 128), image());
    EXPECT_EQ(dump[129], '\x05');
}

TEST(UnitProtocol, DigitsSwitchTheChannelOthersDoNot) {
    Unit u;
    feed(u, "7\r");
    EXPECT_EQ(u.channel(), 7);
    feed(u, "8\r9A");
    EXPECT_EQ(u.channel(), 7);
}

TEST(UnitProtocol, InitialiseClearsMemoryAndChannel) {
    Unit u;
    feed(u, "W\r" + image() + "3\r");
    const auto r = u.receive('I');
    EXPECT_TRUE(r.memoryChanged);
    EXPECT_EQ(u.channel(), 0);
    for (auto b : u.memory()) EXPECT_EQ(b, 0);
}

TEST(UnitProtocol, WriteWithoutItsCarriageReturnIsAbandoned) {
    Unit u;
    feed(u, "W3");
    EXPECT_EQ(u.channel(), 3);  // the digit counted as a command
    feed(u, image());
    for (auto b : u.memory()) EXPECT_EQ(b, 0);
}

TEST(UnitProtocol, ImageBytesThatLookLikeCommandsAreStoredNotObeyed) {
    Unit u;
    std::string img(128, 'I');
    img[5] = 'D';
    img[6] = '7';
    EXPECT_EQ(feed(u, "W\r" + img), std::string(130, '\x06'));
    EXPECT_EQ(u.channel(), 0);
    EXPECT_EQ(std::string(u.memory().begin(), u.memory().end()), img);
}

TEST(UnitFaults, SilentUnitStillObeys) {
    Unit u(Faults{.silent = true});
    EXPECT_EQ(feed(u, "W\r" + image() + "D4"), "");
    EXPECT_EQ(u.channel(), 4);
    EXPECT_EQ(std::string(u.memory().begin(), u.memory().end()), image());
}

TEST(UnitFaults, StopAfterAnswersExactlyTheFirstN) {
    Unit u(Faults{.stopAfter = 3});
    EXPECT_EQ(feed(u, "IIIII"), "\x06\x06\x06");
}

TEST(UnitFaults, HangupComesOnByteNUnanswered) {
    Unit u(Faults{.hangupAfter = 3});
    EXPECT_FALSE(u.receive('W').hangUp);
    EXPECT_FALSE(u.receive('\r').hangUp);
    const auto r = u.receive('\x11');
    EXPECT_TRUE(r.hangUp);
    EXPECT_TRUE(r.reply.empty());
}
