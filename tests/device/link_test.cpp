// The link's protocol against a scripted peer: capture, handshake, nesting, the bounded wait.
#include <gtest/gtest.h>

#include <functional>

#include "device/device_link.h"
#include "protocol/unit_protocol.h"
#include "testkit/qt/pump.h"
#include "testkit/qt/recording_notifier.h"
#include "tests/device/example_words.h"
#include "tests/device/fake_port.h"
#include "tests/device/recorders.h"

using namespace std::chrono_literals;
using device::DeviceLink;
using vttest::FakePort;

namespace {

struct Link : ::testing::Test {
    vttest::RecordingView view;
    vttest::RecordingNotifier notes;
    FakePort port;
    DeviceLink link{port, view};

    Link() {
        port.link = &link;
        port.open = true;
    }
    void receive(const std::string& bytes) {
        const auto events = link.fields.RxEventCount;
        port.deliver(bytes);
        vttest::pumpUntil([&] { return link.fields.RxEventCount != events; });
    }
};

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s.push_back(static_cast<char>(b));
    return s;
}

}  // namespace

// --- receive and capture -------------------------------------------------------------

TEST_F(Link, OneEventWithThreeBytesLogsStoresAndCountsOnce) {
    link.fields.RxCount = 5;
    receive(bytes({0x01, 0xAB, 0x7F}));
    EXPECT_EQ(view.status, "01 AB 7F ");
    EXPECT_EQ(link.fields.RxBuffer[5], 0x01);
    EXPECT_EQ(link.fields.RxBuffer[6], 0xAB);
    EXPECT_EQ(link.fields.RxBuffer[7], 0x7F);
    EXPECT_EQ(link.fields.RxCount, 8);
    EXPECT_EQ(link.fields.RxEventCount, 1);
    EXPECT_EQ(link.fields.RxByte, 0x7F);
    EXPECT_EQ(link.fields.RxSeen, 1);
    EXPECT_EQ(view.receiveCount, "1");
}

TEST_F(Link, AnEventThatFindsNothingOnlyCounts) {
    link.onRxChar();
    link.onRxChar();
    EXPECT_EQ(view.receiveCount, "2");
    EXPECT_EQ(link.fields.RxSeen, 0);
    EXPECT_EQ(view.status, "");
}

// A port closed by the program cannot count its queue either; that is no lost line, which would
// stop the commands on the port once it is open again.
TEST_F(Link, AnEventOnAClosedPortReadsNothing) {
    port.inbox.push_back(0x55);
    port.open = false;
    link.onRxChar();
    EXPECT_EQ(link.fields.RxCount, 0);
    EXPECT_EQ(view.status, "");
    port.inbox.clear();
    port.open = true;  // as the fixture opened it, with no open of the link's own in between
    port.answerEveryByte();
    link.simpleCommand('I');
    EXPECT_EQ(port.written, "I\r");
}

TEST_F(Link, CaptureStopsAtTheEndOfTheBufferButLoggingGoesOn) {
    std::string many;
    for (int i = 0; i < 1100; ++i) many.push_back(static_cast<char>(i & 0xFF));
    receive(many);
    EXPECT_EQ(link.fields.RxCount, device::kRxBufferSize);
    EXPECT_EQ(link.fields.RxBuffer[1027], 1027 & 0xFF);
    EXPECT_EQ(view.status.size(), 1100 * 3);
    receive("\x42");
    EXPECT_EQ(link.fields.RxCount, device::kRxBufferSize);
    EXPECT_TRUE(vttest::pumpUntil([&] { return view.status.endsWith("42 "); }));
    EXPECT_EQ(link.fields.RxByte, 0x42);
}

TEST_F(Link, AFailedReadIsReportedOnceStoresNothingStaleAndReleasesTheHandshake) {
    port.readFailsAt = 1;
    receive(bytes({0x31, 0x32, 0x33}));
    EXPECT_EQ(notes.messages, QStringList{"データ読込みエラー"});
    EXPECT_EQ(link.fields.RxCount, 1);
    EXPECT_EQ(link.fields.RxBuffer[1], 0);
    EXPECT_EQ(view.status, "31 ");
    EXPECT_EQ(link.fields.RxSeen, 1);
    EXPECT_EQ(port.inbox.size(), 2u);  // left for the next event
}

TEST_F(Link, ALongQueueIsReadInSlicesAsOneEvent) {
    for (int i = 0; i < 10000; ++i) port.inbox.push_back(static_cast<std::uint8_t>(i * 13));
    link.onRxChar();
    EXPECT_GT(port.inbox.size(), 0u);  // the event loop gets its turn before the rest is read
    ASSERT_TRUE(vttest::pumpUntil([&] { return port.inbox.empty() && view.status.size() == 30000; }));
    EXPECT_EQ(link.fields.RxEventCount, 1);
    EXPECT_EQ(link.fields.RxCount, device::kRxBufferSize);
    EXPECT_TRUE(view.status.endsWith(QString::asprintf("%02X ", static_cast<unsigned char>(9999 * 13))));
}

TEST_F(Link, ABurstOfEventsReachesTheLogInOrderInFewAppends) {
    std::string all;
    for (int i = 0; i < 2000; ++i) {
        const std::string b(1, static_cast<char>(i & 0xFF));
        all += b;
        port.deliver(b);
    }
    QString expected;
    for (unsigned char c : all) expected += QString::asprintf("%02X ", c);
    ASSERT_TRUE(vttest::pumpUntil([&] { return view.status.size() == expected.size(); }));
    EXPECT_EQ(view.status, expected);
    EXPECT_EQ(link.fields.RxEventCount, 2000);
    EXPECT_LT(view.appends, 200);
}

TEST_F(Link, BytesOfAFailedWaitAreLoggedBeforeTheNoReplyLine) {
    link.setReplyLimit(100ms);
    port.onWrite = [&](std::uint8_t) {
        port.deliver("\x01");
        port.deliver("\x02");
        port.later([&] { link.fields.RxSeen = 0; });  // the bytes must not count as the reply
    };
    link.simpleCommand('I');
    EXPECT_EQ(view.status, QString("01 02 \n") + device::kNoReplyLine);
}

TEST_F(Link, PacketNoticeDiscardsAtMost1025Bytes) {
    port.inbox.assign(2000, 0x11);
    link.onPacket();
    EXPECT_EQ(notes.messages, QStringList{"パケットサイズです"});
    EXPECT_EQ(port.inbox.size(), 975u);
    EXPECT_EQ(link.fields.RxCount, 0);
}

// --- commands on the wire --------------------------------------------------------------

TEST_F(Link, SimpleCommandsSendTheirLetterAndCrOnlyAfterAReply) {
    std::string writtenWhenAnswered;
    port.onWrite = [&](std::uint8_t b) {
        if (b == '\r') return;
        writtenWhenAnswered = port.written;
        port.later([&] { port.deliver("\x06"); }, 20);
    };
    link.simpleCommand('I');
    EXPECT_EQ(writtenWhenAnswered, "I");
    EXPECT_EQ(port.written, "I\r");
    port.written.clear();
    link.simpleCommand('5');
    EXPECT_EQ(port.written, "5\r");
    EXPECT_EQ(link.fields.RxCount, 2);  // replies appended, not reset
}

TEST_F(Link, DumpRestartsTheCaptureAndTheViewSkipsPositionZero) {
    link.fields.RxCount = 300;
    port.onWrite = [&](std::uint8_t b) {
        if (b == 'D') port.deliver(bytes({0x06, 0x11, 0x22}));
    };
    link.dump();
    EXPECT_EQ(port.written, "D\r");
    link.viewBuffer();
    EXPECT_TRUE(view.buffer.startsWith("11 22 00 "));
    EXPECT_EQ(link.fields.RxCount, 3);
}

TEST_F(Link, WriteSends130BytesEachAfterItsReplyAndKeepsTheImage) {
    planning::ChannelTable table;
    table.set(3, vttest::kExampleWords, "x");
    port.answerEveryByte();
    view.status = "old text";
    link.write(table);
    ASSERT_EQ(port.written.size(), 130u);
    EXPECT_EQ(port.written.substr(0, 2), "W\r");
    const auto image = port.written.substr(2);
    EXPECT_EQ(image.substr(48, 16), bytes({0x18, 0, 0, 6, 4, 0, 0, 4, 0xFE, 0x7F, 0x40, 0x13, 0x7A, 0x14, 0xAE, 8}));
    EXPECT_EQ(std::string(link.fields.WriteImage.begin(), link.fields.WriteImage.end()), image);
    EXPECT_EQ(link.fields.RxCount, 130);
    EXPECT_TRUE(vttest::pumpUntil([&] { return view.status == QString("06 ").repeated(130); }));
}

// The window marks channels written only when the unit got all of the image: every byte sent and
// answered. A byte that could not be sent, answered all the same, or a unit gone silent is no success.
TEST_F(Link, WriteSucceedsOnlyWhenEveryByteWentOutAndWasAnswered) {
    planning::ChannelTable table;
    port.answerEveryByte();
    EXPECT_EQ(link.write(table), device::Outcome::Reply);
    port.written.clear();
    port.onWrite = [&](std::uint8_t) {
        port.deliver("\x06");
        if (port.written.size() != 60) return;
        port.writesFail = true;
        port.later(
            [&] {
                port.writesFail = false;
                port.deliver("\x06");
            },
            5);
    };
    EXPECT_NE(link.write(table), device::Outcome::Reply);
    EXPECT_EQ(port.written.size(), 129u);
    port.onWrite = [&](std::uint8_t) {
        if (port.written.size() < 100) port.deliver("\x06");
    };
    link.setReplyLimit(100ms);
    EXPECT_NE(link.write(table), device::Outcome::Reply);
    port.written.clear();
    port.onWrite = [&](std::uint8_t) {
        if (port.written.size() != 2) port.deliver("\x06");  // every byte but the CR after "W"
    };
    EXPECT_NE(link.write(table), device::Outcome::Reply);
}

// Neither a reply long enough to reach the image in the buffer nor a "set" while Write waits
// changes the bytes of a transfer under way.
TEST_F(Link, ALongReplyDuringWriteCannotChangeTheBytesSent) {
    planning::ChannelTable table;
    table.set(0, planning::RegisterWords{.RefReg = 1, .IntgReg = 2, .FracReg = 3, .CPReg = 4}, "");
    port.onWrite = [&](std::uint8_t b) { port.deliver(b == 'W' ? std::string(700, '\xEE') : "\x06"); };
    link.write(table);
    ASSERT_EQ(port.written.size(), 130u);
    EXPECT_EQ(port.written.substr(2, 16), bytes({2, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0}));
    EXPECT_EQ(port.written.substr(18), std::string(112, '\0'));
    const std::string first = port.written;
    port.written.clear();
    port.onWrite = [&](std::uint8_t) {
        if (port.written.size() == 3) table.set(0, {}, "set while the Write waits");
        port.deliver("\x06");
    };
    link.write(table);
    EXPECT_EQ(port.written, first);
}

// A command or key inside a wait of a Write would put its bytes into the image the unit is taking:
// it is refused and sends nothing; the Write sends its own table's image to the end, and a
// command after it goes out as usual.
TEST_F(Link, CommandsInsideAWritesWaitAreRefused) {
    planning::ChannelTable first, second;
    first.set(3, vttest::kExampleWords, "x");
    const auto image = protocol::writeImage(first);
    const struct Row {
        const char* name;
        std::function<device::Outcome()> start;
        std::string alone;  // what it sends outside a Write
    } rows[] = {
        {"Write", [&] { return link.write(second); }, "W\r" + std::string(128, '\0')},
        {"ch3", [&] { return link.simpleCommand('3'); }, "3\r"},
        {"Dump", [&] { return link.dump(); }, "D\r"},
        {"a key", [&] { return link.sendKey("A"), device::Outcome::Busy; }, "A"},
        {"send", [&] { return link.sendReturn(), device::Outcome::Busy; }, "\r"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        port.written.clear();
        view.status.clear();
        auto inner = device::Outcome::Reply;
        port.onWrite = [&](std::uint8_t) {
            if (port.written.size() == 10) port.later([&] { inner = row.start(); });
            port.deliver("\x06");
        };
        EXPECT_EQ(link.write(first), device::Outcome::Reply);
        EXPECT_EQ(inner, device::Outcome::Busy);
        EXPECT_EQ(port.written, "W\r" + std::string(image.begin(), image.end()));
        EXPECT_TRUE(view.status.contains(device::kWriteBusyLine)) << view.status.toStdString();
        port.written.clear();
        row.start();
        EXPECT_EQ(port.written, row.alone);
    }
}

TEST_F(Link, KeysAndSendGoOutAloneWithoutWaiting) {
    link.sendKey("A");
    link.sendKey("\r");
    link.sendReturn();
    link.sendKey("");
    link.sendKey("あ");
    EXPECT_EQ(port.written, "A\r\r\x82\xA0");
}

// --- nesting: one shared RxSeen --------------------------------------------------------

TEST_F(Link, ACommandInsideAWaitIsReleasedWithItByTheSameReply) {
    port.onWrite = [&](std::uint8_t b) {
        if (b == 'D') port.later([&] { link.simpleCommand('5'); });
        if (b == '5') port.later([&] { port.deliver("\x06"); }, 10);
    };
    port.later([&] { port.onWrite = nullptr; }, 200);
    link.setReplyLimit(500ms);
    link.dump();
    EXPECT_EQ(port.written.substr(0, 4), "D5\r\r");
}

TEST_F(Link, ADumpInsideAWaitLeavesTheOuterWaitingForAFurtherByte) {
    std::string writtenAfterDump;
    port.onWrite = [&](std::uint8_t b) {
        if (b == '3') {
            port.later([&] {
                link.dump();
                writtenAfterDump = port.written;
                port.later([&] { port.deliver("\x07"); }, 30);
            });
        }
        if (b == 'D') port.deliver("\x06");
    };
    link.setReplyLimit(300ms);
    link.simpleCommand('3');
    EXPECT_EQ(writtenAfterDump, "3D\r");
    EXPECT_EQ(port.written.substr(0, 4), "3D\r\r");
}

// --- the bounded wait -----------------------------------------------------------------

TEST_F(Link, ASilentUnitEndsTheWaitAfterTheLimitAndTheCommandStops) {
    link.setReplyLimit(150ms);
    link.simpleCommand('I');
    EXPECT_EQ(port.written, "I");
    EXPECT_EQ(view.status, device::kNoReplyLine);
    EXPECT_FALSE(link.waiting());
}

TEST_F(Link, ClosingThePortEndsTheWaitAtOnce) {
    port.onWrite = [&](std::uint8_t) { port.later([&] { link.disconnect(); }); };
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    planning::ChannelTable table;
    link.write(table);
    EXPECT_EQ(port.written, "W");
    EXPECT_EQ(view.status, device::kNoReplyLine);
    EXPECT_TRUE(view.openEnabled);
    EXPECT_FALSE(view.closeEnabled);
}

TEST_F(Link, ReopeningThePortInsideTheWaitStillStopsTheCommand) {
    port.onWrite = [&](std::uint8_t) {
        port.later([&] {
            link.connect("9600", "com2", true);
            port.deliver("\x06");
        });
    };
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    link.simpleCommand('I');
    EXPECT_EQ(port.written, "I");
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(view.status.startsWith(device::kNoReplyLine));
}

// A byte that could not be sent on an open line is not reported: the command goes on to its
// wait (the unit may answer all the same). A closed port or a vanished device ends it at once.
TEST_F(Link, AFailedSendWaitsOnAnOpenLineAndStopsOnlyWithoutOne) {
    port.writesFail = true;
    port.later(
        [&] {
            port.writesFail = false;
            port.deliver("\x06");
        },
        20);
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    link.simpleCommand('I');
    EXPECT_EQ(port.written, "\r") << "the reply released the wait, the CR went out";
    EXPECT_EQ(view.status, "06 ");

    port.writesFail = true;
    port.gone = true;
    link.dump();
    port.open = false;
    port.gone = false;
    link.simpleCommand('3');
    EXPECT_EQ(view.status, "06 \n" + QString(device::kNoReplyLine) + "\n" + device::kNoReplyLine);
}

TEST_F(Link, ALostLineEndsEveryWaitUntilTheNextOpen) {
    port.onWrite = [&](std::uint8_t b) {
        if (b == 'D') port.later([&] { link.simpleCommand('2'); });
        if (b == '2') port.later([&] { link.lineLost(); });
    };
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    link.dump();
    EXPECT_EQ(port.written, "D2");
    EXPECT_EQ(view.status, QString(device::kNoReplyLine) + "\n" + device::kNoReplyLine);
    link.connect("9600", "com1", true);
    port.answerEveryByte();
    port.written.clear();
    link.simpleCommand('4');
    EXPECT_EQ(port.written, "4\r");
}

TEST_F(Link, AnOpenPortThatCannotCountItsQueueEndsTheWaitAtOnce) {
    port.onWrite = [&](std::uint8_t) {
        port.gone = true;
        port.deliver("");
    };
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    link.dump();
    EXPECT_EQ(port.written, "D");
    EXPECT_EQ(view.status, device::kNoReplyLine);
}

TEST_F(Link, ClosingTheWindowDuringAWaitUnwindsFirstThenResumesTheClose) {
    bool deferred = false;
    bool waitingAtResume = true;
    view.onResumeClose = [&] { waitingAtResume = link.waiting(); };
    port.onWrite = [&](std::uint8_t b) {
        if (b == 'D') port.later([&] { link.simpleCommand('1'); });
        if (b == '1') port.later([&] { deferred = link.deferClose(); });
    };
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    link.dump();
    EXPECT_TRUE(deferred);
    EXPECT_EQ(port.written, "D1");
    EXPECT_EQ(view.resumeCloses, 1);
    EXPECT_FALSE(waitingAtResume);
    EXPECT_FALSE(link.deferClose());  // nothing waits now: the window closes at once
    // A close that was refused later (a failed settings save) leaves the link usable.
    port.answerEveryByte();
    port.written.clear();
    link.simpleCommand('6');
    EXPECT_EQ(port.written, "6\r");
}

// --- connect and disconnect ------------------------------------------------------------

TEST_F(Link, ConnectTakesTheSelectedItemsAndRaisesDtrThenRts) {
    port.open = false;
    link.connect("115200", "com3", false);
    EXPECT_EQ(port.bps, 115200);
    EXPECT_EQ(port.portname, "com3");
    EXPECT_EQ(port.lines, "D+R+");
    EXPECT_FALSE(view.openEnabled);
    EXPECT_TRUE(view.closeEnabled);
    EXPECT_TRUE(notes.messages.isEmpty());
    link.disconnect();
    EXPECT_TRUE(view.openEnabled && !view.closeEnabled) << "Close gives Open back";
}

TEST_F(Link, ConnectWithNoBaudItemUses9600) {
    port.open = false;
    link.connect("", "", false);
    EXPECT_EQ(port.bps, 9600);
    link.connect("fast", "com1", true);
    EXPECT_EQ(port.bps, 9600);
}

TEST_F(Link, OpenWhileOpenClosesAndReopens) {
    link.connect("9600", "com7", true);
    EXPECT_TRUE(port.open);
    EXPECT_EQ(port.lines, "D+R+");  // the refused drops of the close leave no trace
}

TEST_F(Link, AFailedConnectBeepsShowsErrorAndRestoresTheButtons) {
    port.open = false;
    port.openSucceeds = false;
    link.connect("9600", "com9", false);
    EXPECT_EQ(notes.beeps, std::vector<unsigned>{64});
    EXPECT_EQ(notes.messages, QStringList{"Error"});
    EXPECT_TRUE(view.openEnabled);
    EXPECT_FALSE(view.closeEnabled);
}
