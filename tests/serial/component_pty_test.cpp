// Trs232c on real pseudo-terminals, the test holding the other side.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <stdexcept>
#include <thread>

#include "pty_peer.h"
#include "serial/rs232c.h"
#include "testkit/cpu_time.h"
#include "testkit/qt/pump.h"
#include "testkit/qt/recording_notifier.h"

using namespace vttest;

namespace {

// The window's stored component: 9600 8N1, limits of 300 ms, on the pty.
void configure(Trs232c& rs, const PtyPeer& peer) {
    rs.setportname(peer.path());
    rs.setrxtimeout(300);
    rs.settxtimeout(300);
}

// That component on a pty whose other side the test holds.
struct OnPty : ::testing::Test {
    PtyPeer peer;
    Trs232c rs;
    OnPty() { configure(rs, peer); }
};

using PtyTransfer = OnPty;
using PtyEvents = OnPty;

using Bytes = std::vector<std::uint8_t>;

}  // namespace

// --- opening ---------------------------------------------------------------------------------

TEST(PtyOpen, AppliesTheConfigurationToTheDevice) {
    PtyPeer peer;
    Trs232c rs;
    configure(rs, peer);
    rs.setbps(115200);
    rs.setstopbit("2");
    rs.setflow({dfBinary, dfOutX, dfInX});
    ASSERT_TRUE(rs.Open());
    const termios t = peer.attr();
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(cfgetispeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, CS8);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_EQ(t.c_cc[VSTART], 17);
    EXPECT_EQ(t.c_cc[VSTOP], 19);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    rs.Close();

    rs.setbps(9600);
    rs.setstopbit("1");
    rs.setflowflag(1);
    ASSERT_TRUE(rs.Open()) << "the port is free again after Close";
    const termios u = peer.attr();
    EXPECT_EQ(cfgetospeed(&u), B9600);
    EXPECT_FALSE(u.c_cflag & CSTOPB);
    EXPECT_FALSE(u.c_iflag & (IXON | IXOFF));
}

TEST(PtyOpen, ASecondOpenOfAPortInUseFails) {
    PtyPeer peer;
    RecordingNotifier shown;
    Trs232c first, second;
    configure(first, peer);
    configure(second, peer);
    second.setdebug(true);
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(shown.messages, QStringList{QString::fromUtf8("回線オープンエラー")});
    first.Close();
    EXPECT_TRUE(second.Open());
}

TEST(PtyOpen, ARateTheDeviceRefusesFailsCleanlyAndReleasesThePort) {
    PtyPeer peer;
    RecordingNotifier shown;
    Trs232c rs;
    configure(rs, peer);
    rs.setdebug(true);
    rs.setcharbit(9);
    EXPECT_FALSE(rs.Open());
    EXPECT_EQ(shown.messages, QStringList{QString::fromUtf8("通信条件設定エラー")});
    rs.setcharbit(8);
    EXPECT_TRUE(rs.Open()) << "the failed Open closed its handle";
}

// Any handler may call Open, OnClose too: the close still ends with the handle it was closing,
// and the component is then open on the port the handler chose, thread and all.
TEST(PtyOpen, OpenFromOnCloseWorksOnTheSamePortAndOnAnother) {
    for (const bool samePort : {true, false}) {
        PtyPeer first, second;
        const PtyPeer& next = samePort ? first : second;
        Trs232c rs;
        configure(rs, first);
        Bytes got;
        rs.OnRXCHAR = [&](Trs232c* s) {
            std::uint8_t b;
            while (s->InQueueCount() > 0 && s->ReadByte(b)) got.push_back(b);
        };
        bool reopened = false;
        rs.OnClose = [&](Trs232c* s) {
            s->setportname(next.path());
            reopened = s->Open();
        };
        ASSERT_TRUE(rs.Open());
        EXPECT_TRUE(rs.Close()) << samePort;
        ASSERT_TRUE(reopened) << samePort;
        EXPECT_TRUE(rs.isOpen());
        EXPECT_TRUE(rs.threadRunning());
        next.send(0x42);
        ASSERT_TRUE(pumpUntil([&] { return got.size() == 1; })) << samePort;
        EXPECT_TRUE(rs.WriteByte(0x43));
        EXPECT_EQ(next.receive(1), Bytes{0x43});
        if (!samePort) {
            Trs232c other;
            configure(other, first);
            EXPECT_TRUE(other.Open()) << "the port the close was closing is free";
        }
        rs.OnClose = nullptr;
        EXPECT_TRUE(rs.Close());
        EXPECT_FALSE(rs.threadRunning());
    }
}

// --- transfers -------------------------------------------------------------------------------

TEST_F(PtyTransfer, BytesAndBlocksBothWays) {
    ASSERT_TRUE(rs.Open());
    EXPECT_EQ(rs.InQueueCount(), 0);

    EXPECT_TRUE(rs.WriteByte('W'));
    const Bytes block = {0x18, 0x00, 0x00, 0x06, 0x0D, 0xFF, 0x11, 0x13};
    EXPECT_TRUE(rs.Write(block.data(), static_cast<std::int32_t>(block.size())));
    Bytes expect = {'W'};
    expect.insert(expect.end(), block.begin(), block.end());
    EXPECT_EQ(peer.receive(expect.size()), expect);

    peer.send({0x06, 0x41, 0x42, 0x43});
    ASSERT_TRUE(pumpUntil([&] { return rs.InQueueCount() == 4; }));
    std::uint8_t b = 0;
    EXPECT_TRUE(rs.ReadByte(b));
    EXPECT_EQ(b, 0x06);
    EXPECT_EQ(rs.InQueueCount(), 3);
    std::uint8_t buf[3] = {};
    EXPECT_TRUE(rs.Read(buf, 3));
    EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{0x41, 0x42, 0x43}));
    EXPECT_EQ(rs.InQueueCount(), 0);
}

TEST_F(PtyTransfer, AReadThatReachesItsLimitFailsAndLeavesTheByteAlone) {
    rs.setrxtimeout(200);
    ASSERT_TRUE(rs.Open());
    peer.send({1, 2});
    pumpUntil([&] { return rs.InQueueCount() == 2; });
    std::uint8_t buf[4];
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(rs.Read(buf, 4));
    EXPECT_GE(t.elapsed(), 190);
    EXPECT_LT(t.elapsed(), 1000);

    std::uint8_t b = 0x77;
    EXPECT_FALSE(rs.ReadByte(b));
    EXPECT_EQ(b, 0x77);
    peer.send({5});
    EXPECT_TRUE(rs.ReadByte(b)) << "a timed-out read leaves nothing pending";
    EXPECT_EQ(b, 5);
}

// readinterval -1 with rxtimeout 0: the driver hands over what is there at once, and a read
// completed at once succeeds whatever it moved.
TEST_F(PtyTransfer, ReturnAtOnceReadsWhatIsThereAndSucceeds) {
    rs.setreadinterval(-1);
    rs.setrxtimeout(0);
    ASSERT_TRUE(rs.Open());
    std::uint8_t buf[4] = {9, 9, 9, 9};
    EXPECT_TRUE(rs.Read(buf, 4)) << "nothing waiting";
    EXPECT_EQ(buf[0], 9);
    peer.send({1, 2});
    ASSERT_TRUE(pumpUntil([&] { return rs.InQueueCount() == 2; }));
    EXPECT_TRUE(rs.Read(buf, 4)) << "two waiting";
    EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{1, 2, 9}));
    EXPECT_EQ(rs.InQueueCount(), 0);
}

TEST_F(PtyTransfer, AWriteStalledByXoffReachesTxtimeout) {
    rs.setflow({dfBinary, dfOutX});
    rs.settxtimeout(250);
    ASSERT_TRUE(rs.Open());
    peer.send(0x13);
    QThread::msleep(20);
    const Bytes block(64 * 1024, 'x');
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(rs.Write(block.data(), static_cast<std::int32_t>(block.size())));
    EXPECT_GE(t.elapsed(), 240);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(rs.isOpen()) << "a failed write leaves the port open";
}

// --- events ----------------------------------------------------------------------------------

TEST_F(PtyEvents, ReceivedBytesReachOnRXCHAROnTheGuiThreadInOrder) {
    Bytes got;
    int events = 0;
    bool offThread = false;
    rs.OnRXCHAR = [&](Trs232c* s) {
        ++events;
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) offThread = true;
        std::uint8_t b;
        while (s->InQueueCount() > 0 && s->ReadByte(b)) got.push_back(b);
    };
    ASSERT_TRUE(rs.Open());
    Bytes sent;
    for (int i = 0; i < 300; ++i) sent.push_back(static_cast<std::uint8_t>(i * 7));
    for (std::size_t i = 0; i < sent.size(); i += 23) {
        peer.send(Bytes(sent.begin() + static_cast<long>(i),
                        sent.begin() + static_cast<long>(std::min(i + 23, sent.size()))));
        QThread::usleep(500);
    }
    ASSERT_TRUE(pumpUntil([&] { return got.size() >= sent.size(); }));
    EXPECT_EQ(got, sent);
    EXPECT_GE(events, 1);
    EXPECT_FALSE(offThread);
}

// Bytes that came while the message was on its way, and bytes a handler leaves after taking
// some, each earn another OnRXCHAR: a handler may take one byte an event.
TEST_F(PtyEvents, AHandlerTakingOneByteAnEventGetsEveryByte) {
    Bytes got;
    rs.OnRXCHAR = [&](Trs232c* s) {
        std::uint8_t b;
        if (s->InQueueCount() > 0 && s->ReadByte(b)) got.push_back(b);
    };
    ASSERT_TRUE(rs.Open());
    for (std::uint8_t b = 1; b <= 5; ++b) {
        peer.send(b);
        QThread::msleep(5);
    }
    pumpUntil([&] { return got.size() == 5; }, 1000);
    EXPECT_EQ(got, (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(rs.InQueueCount(), 0);
}

TEST_F(PtyEvents, PacketRuleOnRealArrivals) {
    std::vector<std::string> seen;
    rs.OnPACKET = [&](Trs232c*) { seen.push_back("PACKET"); };
    rs.OnRXCHAR = [&](Trs232c*) { seen.push_back("RXCHAR"); };  // leaves the bytes queued
    rs.setpacketsize(4);
    ASSERT_TRUE(rs.Open());
    peer.send({1, 2, 3});
    ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }));
    pumpFor(30);
    EXPECT_EQ(seen, std::vector<std::string>{"RXCHAR"});
    seen.clear();
    peer.send({4});
    ASSERT_TRUE(pumpUntil([&] { return seen.size() >= 2; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"PACKET", "RXCHAR"}));
}

TEST_F(PtyEvents, CloseWhileTheThreadWaitsReturnsAtOnceAndOnCloseComesAfterTheThread) {
    rs.OnRXCHAR = [](Trs232c*) {};
    bool threadGoneInOnClose = false;
    rs.OnClose = [&](Trs232c* s) { threadGoneInOnClose = !s->threadRunning() && s->InQueueCount() == -1; };
    ASSERT_TRUE(rs.Open());
    QThread::msleep(50);  // the thread is blocked in its wait by now
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(rs.Close());
    EXPECT_LT(t.elapsed(), 250);
    EXPECT_TRUE(threadGoneInOnClose);
}

TEST_F(PtyEvents, MessagesPostedBeforeCloseAreDropped) {
    int calls = 0;
    rs.OnRXCHAR = [&](Trs232c* s) {
        ++calls;
        while (s->InQueueCount() != 0) {  // would never end against a closed port
            std::uint8_t b;
            s->ReadByte(b);
        }
    };
    ASSERT_TRUE(rs.Open());
    peer.send({1});
    QThread::msleep(50);  // posted, not delivered
    rs.Close();
    pumpFor(50);
    EXPECT_EQ(calls, 0);
}

TEST_F(PtyEvents, AThrowingHandlerDoesNotStopLaterDeliveries) {
    RecordingExceptions reported;
    int calls = 0;
    rs.OnRXCHAR = [&](Trs232c* s) {
        std::uint8_t b;
        while (s->InQueueCount() > 0) s->ReadByte(b);
        if (++calls == 1) throw std::runtime_error("'x' は整数ではありません");
    };
    ASSERT_TRUE(rs.Open());
    peer.send({1});
    ASSERT_TRUE(pumpUntil([&] { return calls == 1; }));
    peer.send({2});
    ASSERT_TRUE(pumpUntil([&] { return calls == 2; }));
    EXPECT_EQ(reported.texts.size(), 1u);
}

// --- the peer going away ---------------------------------------------------------------------

TEST(PtyHangUp, MidTransferTransfersFailAndNothingSpins) {
    auto peer = std::make_unique<PtyPeer>();
    Trs232c rs;
    configure(rs, *peer);
    rs.setrxtimeout(3000);
    int events = 0;
    rs.OnRXCHAR = [&](Trs232c*) { ++events; };  // leaves the bytes for the Read below
    ASSERT_TRUE(rs.Open());
    EXPECT_TRUE(rs.WriteByte(0x06));
    std::thread far([&] {
        peer->send({1, 2, 3});
        QThread::msleep(50);
        peer->hangUp();
    });
    std::uint8_t buf[10];
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(rs.Read(buf, 10)) << "ten bytes will never come";
    EXPECT_LT(t.elapsed(), 1000) << "the hang-up ends the read, not its limit";
    far.join();

    pumpFor(50);
    const int eventsBefore = events;
    const double cpu0 = cpuSeconds();
    pumpFor(300);
    EXPECT_LT(cpuSeconds() - cpu0, 0.05) << "no thread may spin on a vanished device";
    EXPECT_EQ(events, eventsBefore);

    t.restart();
    EXPECT_FALSE(rs.WriteByte(0x06));
    std::uint8_t b;
    EXPECT_FALSE(rs.ReadByte(b));
    EXPECT_LT(t.elapsed(), 250) << "fails at once, not after the limits";
    EXPECT_EQ(rs.InQueueCount(), -1) << "nothing left and nothing more to come: a drain loop must end";
    t.restart();
    EXPECT_TRUE(rs.Close());
    EXPECT_LT(t.elapsed(), 250);
}

TEST(PtyHangUp, BytesAlreadyQueuedAreStillReadable) {
    auto peer = std::make_unique<PtyPeer>();
    Trs232c rs;
    configure(rs, *peer);
    Bytes got;
    rs.OnRXCHAR = [&](Trs232c* s) {
        std::uint8_t b;
        while (s->InQueueCount() > 0 && s->ReadByte(b)) got.push_back(b);
    };
    rs.setrxbuffsize(16);
    ASSERT_TRUE(rs.Open());
    peer->send({1, 2, 3});
    ASSERT_TRUE(pumpUntil([&] { return got.size() == 3; }));
    peer->hangUp();
    pumpFor(50);
    EXPECT_EQ(got, (Bytes{1, 2, 3}));
    EXPECT_FALSE(rs.WriteByte(1));
}
