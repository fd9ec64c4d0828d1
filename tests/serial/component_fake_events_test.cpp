// Trs232c against the fake comm layer: the delivery of events (also those a pty cannot
// produce) and the component's end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <stdexcept>

#include "fake_comm.h"
#include "serial/rs232c.h"
#include "testkit/qt/pump.h"
#include "testkit/qt/recording_notifier.h"

using namespace commapi;
using namespace vttest;

namespace {

struct Events : ::testing::Test {
    FakeLayer layer;
    Trs232c rs{layer};
};

}  // namespace

// --- events ----------------------------------------------------------------------------------

TEST_F(Events, OneWakeUpIsDeliveredInTheFixedOrderOnTheGuiThread) {
    std::vector<std::string> seen;
    bool offThread = false;
    auto rec = [&](const char* name) {
        return [&, name](Trs232c* s) {
            EXPECT_EQ(s, &rs);
            if (QThread::currentThread() != QCoreApplication::instance()->thread()) offThread = true;
            seen.push_back(name);
        };
    };
    rs.OnTXEMPTY = rec("TXEMPTY");
    rs.OnRXFLAG = rec("RXFLAG");
    rs.OnRXCHAR = rec("RXCHAR");
    rs.OnPACKET = rec("PACKET");
    rs.OnRLSD = rec("RLSD");
    rs.OnRING = rec("RING");
    rs.OnERR = rec("ERR");
    rs.OnDSR = rec("DSR");
    rs.OnCTS = rec("CTS");
    rs.OnBREAK = rec("BREAK");
    rs.setpacketsize(1);
    ASSERT_TRUE(rs.Open());
    layer.setInQue(1);
    layer.state.feed(0x1FF);
    ASSERT_TRUE(pumpUntil([&] { return seen.size() == 10; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"BREAK", "CTS", "DSR", "ERR", "RING", "RLSD", "PACKET", "RXCHAR",
                                              "RXFLAG", "TXEMPTY"}));
    EXPECT_FALSE(offThread);
}

TEST_F(Events, PacketRuleComparesTheQueueWithPacketSize) {
    std::vector<std::string> seen;
    rs.OnPACKET = [&](Trs232c*) { seen.push_back("PACKET"); };
    rs.OnRXCHAR = [&](Trs232c*) { seen.push_back("RXCHAR"); };
    rs.setpacketsize(4);
    ASSERT_TRUE(rs.Open());
    auto wakeWith = [&](int queued) {
        seen.clear();
        layer.setInQue(queued);
        layer.state.feed(kEvRxChar);
        pumpUntil([&] { return !seen.empty() && seen.back() == "RXCHAR"; });
        return seen;
    };
    EXPECT_EQ(wakeWith(3), std::vector<std::string>{"RXCHAR"});
    EXPECT_EQ(wakeWith(4), (std::vector<std::string>{"PACKET", "RXCHAR"}));
    EXPECT_EQ(wakeWith(9), (std::vector<std::string>{"PACKET", "RXCHAR"}));
    rs.setpacketsize(0);
    EXPECT_EQ(wakeWith(1000), std::vector<std::string>{"RXCHAR"});
    rs.setpacketsize(-1);
    EXPECT_EQ(wakeWith(0), (std::vector<std::string>{"PACKET", "RXCHAR"})) << "a negative size always fires";
}

TEST_F(Events, AThrowingHandlerIsReportedAndLaterMessagesArrive) {
    RecordingExceptions reported;
    int calls = 0;
    rs.OnRXCHAR = [&](Trs232c*) {
        if (++calls == 1) throw std::runtime_error("ゼロによる除算");
    };
    ASSERT_TRUE(rs.Open());
    layer.state.feed(kEvRxChar);
    ASSERT_TRUE(pumpUntil([&] { return calls == 1; }));
    layer.state.feed(kEvRxChar);
    ASSERT_TRUE(pumpUntil([&] { return calls == 2; }));
    EXPECT_EQ(reported.texts, std::vector<std::string>{"ゼロによる除算"});
}

// A flood wakes the thread far more often than the GUI thread can take messages: one receive
// message is on its way at a time, and the wake-ups meanwhile earn exactly one more after it.
TEST_F(Events, ReceiveWakeUpsWhileAMessageIsOnItsWayEarnOneMoreNotFifty) {
    int calls = 0;
    rs.OnRXCHAR = [&](Trs232c*) { ++calls; };
    ASSERT_TRUE(rs.Open());
    for (int i = 0; i < 50; ++i) layer.state.feed(kEvRxChar);
    QThread::msleep(100);  // every wake-up is over before the GUI thread takes a message
    ASSERT_TRUE(pumpUntil([&] { return calls >= 2; }));
    pumpFor(50);
    EXPECT_EQ(calls, 2);
    layer.state.feed(kEvRxChar);
    ASSERT_TRUE(pumpUntil([&] { return calls == 3; })) << "once taken, the next arrival posts again";
    pumpFor(50);
    EXPECT_EQ(calls, 3) << "a handler that takes nothing is not called again for the same bytes";
}

TEST_F(Events, ClearedHandlersGetNothingAndClosedPortsDropTheirMessages) {
    int rx = 0, cts = 0;
    rs.OnRXCHAR = [&](Trs232c*) { ++rx; };
    rs.OnCTS = [&](Trs232c*) { ++cts; };
    ASSERT_TRUE(rs.Open());
    layer.state.feed(kEvCts);
    QThread::msleep(50);  // posted, not yet delivered
    rs.OnCTS = nullptr;
    pumpFor(50);
    EXPECT_EQ(cts, 0) << "cleared after posting: skipped";

    layer.state.feed(kEvRxChar);
    QThread::msleep(50);
    rs.Close();
    pumpFor(50);
    EXPECT_EQ(rx, 0) << "posted before Close: dropped";
    ASSERT_TRUE(rs.Open());
    layer.state.feed(kEvRxChar);
    EXPECT_TRUE(pumpUntil([&] { return rx == 1; }));
}

TEST_F(Events, AFailingWaitDoesNotSpinAndCloseStillEndsTheThread) {
    layer.state.failWait = true;
    rs.OnRXCHAR = [](Trs232c*) {};
    ASSERT_TRUE(rs.Open());
    QThread::msleep(300);
    {
        std::lock_guard lock(layer.state.m);
        EXPECT_LT(layer.state.waits, 20);
    }
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(rs.Close());
    EXPECT_LT(t.elapsed(), 250);
}

TEST_F(Events, CloseEndsTheThreadBeforeOnCloseAndClosesTheHandleAfterIt) {
    rs.OnRXCHAR = [](Trs232c*) {};
    bool threadGone = false, handleOpen = false, counted = false;
    rs.OnClose = [&](Trs232c* s) {
        threadGone = !s->threadRunning();
        counted = !s->isOpen() && s->InQueueCount() == -1 && !s->WriteByte(1);
        std::lock_guard lock(layer.state.m);
        handleOpen = !layer.state.closed;
    };
    ASSERT_TRUE(rs.Open());
    EXPECT_TRUE(rs.Close());
    EXPECT_TRUE(threadGone);
    EXPECT_TRUE(handleOpen);
    EXPECT_TRUE(counted);
    EXPECT_TRUE(layer.state.closed);
    EXPECT_EQ(layer.state.purges.back(), 3u);
}

TEST(Lifetime, DestroyingAnOpenComponentClosesIt) {
    FakeLayer layer;
    int closes = 0;
    {
        Trs232c rs(layer);
        rs.OnClose = [&](Trs232c*) { ++closes; };
        rs.OnRXCHAR = [](Trs232c*) {};
        ASSERT_TRUE(rs.Open());
    }
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(layer.state.closed);
}

// The destructor's OnClose is a handler call like any: an error from it goes to the central
// handler, and an Open from it is refused (the thread it would start must not outlive us).
TEST(Lifetime, AnOnCloseThatThrowsWhileTheComponentIsDestroyedIsReported) {
    FakeLayer layer;
    RecordingExceptions reported;
    bool reopened = true;
    {
        Trs232c rs(layer);
        rs.OnRXCHAR = [](Trs232c*) {};
        rs.OnClose = [&](Trs232c* s) {
            reopened = s->Open();
            throw std::runtime_error("error in OnClose");
        };
        ASSERT_TRUE(rs.Open());
    }
    EXPECT_EQ(reported.texts, std::vector<std::string>{"error in OnClose"});
    EXPECT_FALSE(reopened);
    EXPECT_EQ(layer.state.opened, 1);
    EXPECT_TRUE(layer.state.closed);
}
