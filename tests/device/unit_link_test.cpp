// The link with the real serial component against the simulated unit on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "device/device_link.h"
#include "device/rs232c_port.h"
#include "serial/rs232c.h"
#include "testkit/port_holder.h"
#include "testkit/qt/recording_notifier.h"
#include "tests/device/example_words.h"
#include "tests/device/recorders.h"
#include "tests/device/unit_on_com1.h"

using namespace std::chrono_literals;
using device::DeviceLink;

namespace {

planning::ChannelTable exampleTable() {
    planning::ChannelTable table;
    table.set(0, vttest::kExampleWords, "12340MHz");
    return table;
}

std::string exampleImage() {
    std::string image(128, '\0');
    const char record[] = "\x18\x00\x00\x06\x04\x00\x00\x04\xFE\x7F\x40\x13\x7A\x14\xAE\x08";
    image.replace(0, 16, record, 16);
    return image;
}

struct OnUnit : vttest::UnitOnCom1 {
    vttest::RecordingView view;
    vttest::RecordingNotifier notes;
    Trs232c rs232c1;
    device::Rs232cPort port{rs232c1};
    DeviceLink link{port, view};

    OnUnit() {
        rs232c1.setrxtimeout(300);
        rs232c1.settxtimeout(300);
        rs232c1.OnRXCHAR = [this](Trs232c*) { link.onRxChar(); };
        rs232c1.OnOpen = [this](Trs232c*) { link.onOpen(); };
        rs232c1.OnClose = [this](Trs232c*) { link.onClose(); };
        rs232c1.OnPACKET = [this](Trs232c*) { link.onPacket(); };
    }
    ~OnUnit() override { link.disconnect(); }

    void connect() {
        link.connect("9600", "com1", false);
        ASSERT_TRUE(rs232c1.isOpen());
        ASSERT_TRUE(notes.messages.isEmpty());
    }
};

using Bytes = std::vector<std::string>;

}  // namespace

TEST_F(OnUnit, InitializeChannelAndDumpPutExactlyTheirBytesOnTheWire) {
    startUnit({});
    connect();
    link.simpleCommand('I');
    ASSERT_TRUE(unitGot(2));
    link.simpleCommand('5');
    ASSERT_TRUE(unitGot(4));
    link.dump();
    ASSERT_TRUE(unitGot(6));
    vttest::pumpFor(100);  // nothing else may follow
    EXPECT_EQ(received(), (Bytes{"49", "0D", "35", "0D", "44", "0D"}));
    EXPECT_FALSE(view.status.contains(device::kNoReplyLine));
}

TEST_F(OnUnit, WriteSendsThe130BytesAndTheUnitHoldsTheImage) {
    startUnit({});
    connect();
    link.write(exampleTable());
    EXPECT_FALSE(view.status.contains(device::kNoReplyLine));
    ASSERT_TRUE(unitGot(130));
    vttest::pumpFor(100);
    const auto got = received();
    ASSERT_EQ(got.size(), 130u);
    EXPECT_EQ(got[0], "57");
    EXPECT_EQ(got[1], "0D");
    ASSERT_TRUE(vttest::UnitProcess::waitForPath(dir.file("memory")));
    EXPECT_EQ(vttest::readWholeFile(dir.file("memory")), exampleImage());
    EXPECT_EQ(link.fields.RxCount, 130);
    EXPECT_TRUE(vttest::pumpUntil([&] { return view.status == QString("06 ").repeated(130); }));
}

TEST_F(OnUnit, DumpAfterWriteShowsTheMemoryFromPositionOne) {
    startUnit({});
    connect();
    link.write(exampleTable());
    link.simpleCommand('3');
    // Let the answer to its CR land first, or it would be taken for the answer to "D".
    ASSERT_TRUE(vttest::pumpUntil([&] { return link.fields.RxCount == 132; }));
    link.dump();
    // The answer to "D" (06, memory, channel) and the 06 for its CR.
    ASSERT_TRUE(vttest::pumpUntil([&] { return link.fields.RxCount == 131; }));
    link.viewBuffer();
    const QStringList rows = view.buffer.split("\r\n");
    ASSERT_EQ(rows.size(), 18);
    EXPECT_EQ(rows[0], "18 00 00 06 04 00 00 04 FE 7F 40 13 7A 14 AE 08 ");
    EXPECT_EQ(rows[1], QString("00 ").repeated(16));
    EXPECT_TRUE(rows[8].startsWith("03 06 ")) << rows[8].toStdString();  // channel, then the answer to CR
}

TEST_F(OnUnit, ASilentUnitEndsTheWaitAfterTwoSecondsWithTheLogLine) {
    startUnit({"--silent"});
    connect();
    QElapsedTimer t;
    t.start();
    link.simpleCommand('I');
    EXPECT_GE(t.elapsed(), 1900);
    EXPECT_TRUE(view.status.endsWith(device::kNoReplyLine));
    vttest::pumpFor(100);
    EXPECT_EQ(received(), Bytes{"49"});
}

TEST_F(OnUnit, AUnitHangingUpMidWriteStopsTheCommand) {
    startUnit({"--hangup-after", "10"});
    connect();
    link.setReplyLimit(vttest::kUnreachedReplyLimit);
    link.write(exampleTable());
    EXPECT_TRUE(view.status.endsWith(device::kNoReplyLine));
    EXPECT_EQ(unit->waitExit(5s), 0);
    EXPECT_EQ(received().size(), 10u);
    EXPECT_EQ(link.fields.RxCount, 9);
    // The line is gone: the next command stops at once as well.
    link.simpleCommand('0');
    EXPECT_TRUE(view.status.endsWith(QString(device::kNoReplyLine) + "\n" + device::kNoReplyLine));
}

TEST_F(OnUnit, ASecondProgramHoldingThePortMakesConnectFail) {
    startUnit({});
    vttest::PortHolder holder(alias);
    ASSERT_TRUE(holder.held());
    link.connect("9600", "com1", false);
    EXPECT_FALSE(rs232c1.isOpen());
    EXPECT_EQ(notes.beeps, std::vector<unsigned>{64});
    EXPECT_EQ(notes.messages, QStringList{"Error"});
    EXPECT_TRUE(view.openEnabled);
    EXPECT_FALSE(view.closeEnabled);
    holder.letGo();
    // Once the other program has let go, the port opens.
    notes.messages.clear();
    link.connect("9600", "com1", true);
    EXPECT_TRUE(rs232c1.isOpen());
}
