// The POSIX back end on real pseudo-terminals, the test holding the master side.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "pty_peer.h"
#include "serial/commapi.h"
#include "serial/posix/posix_port.h"
#include "testkit/cpu_time.h"

using namespace commapi;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::unique_ptr<CommPort> openPort(const PtyPeer& peer) {
    auto p = defaultLayer().createFile(peer.path());
    if (p) {
        p->setupComm(1024, 1024);
        COMMTIMEOUTS t;
        t.ReadTotalTimeoutConstant = 300;
        t.WriteTotalTimeoutConstant = 300;
        p->setCommTimeouts(t);
    }
    return p;
}

DCB dcbOf(CommPort& p) {
    DCB d;
    p.getCommState(d);
    return d;
}

// Such a port on a pty whose master side the test holds.
struct OnPty : ::testing::Test {
    PtyPeer peer;
    std::unique_ptr<CommPort> p = openPort(peer);
    void SetUp() override { ASSERT_TRUE(p); }
};

using CommState = OnPty;
using CommTransfer = OnPty;
using CommEvents = OnPty;
using CommHangUp = OnPty;

}  // namespace

// --- state -------------------------------------------------------------------------------

TEST_F(CommState, AppliesRateFrameAndFlowToTheDevice) {
    DCB d = dcbOf(*p);
    d.BaudRate = 115200;
    d.ByteSize = 8;
    d.Parity = kNoParity;
    d.StopBits = kTwoStopBits;
    d.Flags = fBinary | fOutX | fInX;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    ASSERT_TRUE(p->setCommState(d));
    const termios t = peer.attr();
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, CS8);
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);

    const DCB back = dcbOf(*p);
    EXPECT_EQ(back.BaudRate, 115200u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, kNoParity);
    EXPECT_EQ(back.StopBits, kTwoStopBits);
    EXPECT_EQ(back.Flags & (fOutX | fInX), fOutX | fInX);
}

// A pty forces 8 bits without parity (PARENB and CSIZE are its own), but keeps the other bits.
TEST_F(CommState, MarkAndSpaceParityUseStickParity) {
    DCB d = dcbOf(*p);
    d.BaudRate = 9600;
    d.Parity = kMarkParity;
    ASSERT_TRUE(p->setCommState(d));
    EXPECT_EQ(peer.attr().c_cflag & (PARODD | CMSPAR), tcflag_t(PARODD | CMSPAR));
    d.Parity = kSpaceParity;
    ASSERT_TRUE(p->setCommState(d));
    EXPECT_EQ(peer.attr().c_cflag & (PARODD | CMSPAR), tcflag_t(CMSPAR));
    d.Parity = kOddParity;
    ASSERT_TRUE(p->setCommState(d));
    EXPECT_EQ(peer.attr().c_cflag & (PARODD | CMSPAR), tcflag_t(PARODD));
}

TEST_F(CommState, TakesARateOutsideTheClassicTable) {
    DCB d = dcbOf(*p);
    d.BaudRate = 250000;
    ASSERT_TRUE(p->setCommState(d));
    EXPECT_EQ(dcbOf(*p).BaudRate, 250000u);
}

TEST_F(CommState, RejectsImpossibleFramesAndKeepsTheDeviceAsItWas) {
    DCB good = dcbOf(*p);
    good.BaudRate = 9600;
    good.ByteSize = 8;
    ASSERT_TRUE(p->setCommState(good));
    for (auto mutate : {+[](DCB& d) { d.ByteSize = 4; }, +[](DCB& d) { d.ByteSize = 9; }, +[](DCB& d) { d.Parity = 5; },
                        +[](DCB& d) { d.StopBits = 3; }, +[](DCB& d) { d.StopBits = kOne5StopBits; },
                        +[](DCB& d) { d.BaudRate = 0; }}) {
        DCB bad = good;
        bad.BaudRate = 115200;
        mutate(bad);
        EXPECT_FALSE(p->setCommState(bad));
        const termios t = peer.attr();
        EXPECT_EQ(cfgetospeed(&t), B9600);
        EXPECT_EQ(t.c_cflag & CSIZE, CS8);
    }
}

// --- transfers ---------------------------------------------------------------------------

TEST_F(CommTransfer, BytesBothWaysAndTheQueueCount) {
    DWORD done = 0;
    ASSERT_TRUE(p->writeFile("hello", 5, done, 300));
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(peer.receive(5), (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));

    peer.send({0x00, 0xFF, 0x0D, 0x0A, 0x11, 0x13, 0x03});
    std::this_thread::sleep_for(20ms);
    DWORD errors = 0;
    COMSTAT st;
    ASSERT_TRUE(p->clearCommError(errors, st));
    EXPECT_EQ(st.cbInQue, 7u);
    std::uint8_t buf[7] = {};
    ASSERT_TRUE(p->readFile(buf, 7, done, 300));
    EXPECT_EQ(done, 7u);
    EXPECT_EQ(std::vector<std::uint8_t>(buf, buf + 7),
              (std::vector<std::uint8_t>{0x00, 0xFF, 0x0D, 0x0A, 0x11, 0x13, 0x03}))
        << "raw mode passes every byte unchanged";
}

TEST_F(CommTransfer, ReadEndsAtTheTotalLimitWithWhatCame) {
    peer.send({1, 2});
    std::uint8_t buf[4];
    DWORD done = 0;
    const auto t0 = Clock::now();
    ASSERT_TRUE(p->readFile(buf, 4, done, 1000));  // the driver's 300 ms ends it first
    const auto took = Clock::now() - t0;
    EXPECT_EQ(done, 2u);
    EXPECT_GE(took, 290ms);
    EXPECT_LT(took, 900ms);
}

TEST_F(CommTransfer, ReadEndsAtTheIntervalLimitOnceBytesFlow) {
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = 30;
    t.ReadTotalTimeoutConstant = 5000;
    p->setCommTimeouts(t);
    peer.send({9});
    std::uint8_t buf[4];
    DWORD done = 0;
    const auto t0 = Clock::now();
    ASSERT_TRUE(p->readFile(buf, 4, done, 5000));
    EXPECT_EQ(done, 1u);
    EXPECT_LT(Clock::now() - t0, 1000ms);
}

TEST_F(CommTransfer, WriteStalledByXoffEndsAtItsLimit) {
    DCB d = dcbOf(*p);
    d.BaudRate = 9600;
    d.Flags = fBinary | fOutX;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    ASSERT_TRUE(p->setCommState(d));
    peer.send(0x13);
    std::this_thread::sleep_for(20ms);
    DWORD done = 0;
    const auto t0 = Clock::now();
    std::vector<std::uint8_t> block(64 * 1024, 'x');
    ASSERT_TRUE(p->writeFile(block.data(), static_cast<DWORD>(block.size()), done, 200));
    EXPECT_LT(done, block.size());
    EXPECT_GE(Clock::now() - t0, 190ms);
    peer.send(0x11);  // XON lets the rest go
    ASSERT_TRUE(p->writeFile("y", 1, done, 300));
}

// --- events ------------------------------------------------------------------------------

TEST_F(CommEvents, ArrivalIsAnEdgeAndWaitingBytesRaiseNothingMore) {
    p->setCommMask(kEvRxChar);
    DWORD ev = 0;
    ASSERT_TRUE(p->waitCommEvent(ev));  // the mask change itself
    EXPECT_EQ(ev, 0u);
    peer.send({1, 2, 3});
    ASSERT_TRUE(p->waitCommEvent(ev));
    EXPECT_EQ(ev, kEvRxChar);

    // The bytes stay queued; the next wait must block until something new happens.
    std::atomic<bool> returned{false};
    DWORD ev2 = 0;
    std::thread waiter([&] {
        p->waitCommEvent(ev2);
        returned = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(returned.load());
    const auto t0 = Clock::now();
    p->setCommMask(kEvRxChar);  // releases the wait at once
    waiter.join();
    EXPECT_LT(Clock::now() - t0, 250ms);
    EXPECT_EQ(ev2, 0u);
    DWORD errors;
    COMSTAT st;
    p->clearCommError(errors, st);
    EXPECT_EQ(st.cbInQue, 3u);
}

TEST_F(CommEvents, EventCharacterRaisesRxFlag) {
    DCB d = dcbOf(*p);
    d.BaudRate = 9600;
    d.EvtChar = '\r';
    ASSERT_TRUE(p->setCommState(d));
    p->setCommMask(kEvRxChar | kEvRxFlag);
    DWORD ev = 0;
    p->waitCommEvent(ev);
    peer.send({'a'});
    ASSERT_TRUE(p->waitCommEvent(ev));
    EXPECT_EQ(ev, kEvRxChar);
    peer.send({'b', '\r'});
    ASSERT_TRUE(p->waitCommEvent(ev));
    EXPECT_EQ(ev, kEvRxChar | kEvRxFlag);
}

TEST_F(CommEvents, OutputDrainedRaisesTxEmpty) {
    p->setCommMask(kEvTxEmpty);
    DWORD ev = 0;
    p->waitCommEvent(ev);
    DWORD done = 0;
    ASSERT_TRUE(p->writeFile("abc", 3, done, 300));
    ASSERT_TRUE(p->waitCommEvent(ev));
    EXPECT_EQ(ev, kEvTxEmpty);
}

TEST_F(CommEvents, LineEventsOfTheMaskReachTheWaitAndErrorsTheCount) {
    const auto& port = p;
    auto* posix = dynamic_cast<PosixPort*>(port.get());
    ASSERT_TRUE(posix);
    port->setCommMask(kEvCts | kEvErr);
    DWORD ev = 0;
    port->waitCommEvent(ev);
    posix->raiseEvents(kEvCts | kEvRing, kCeFrame);
    ASSERT_TRUE(port->waitCommEvent(ev));
    EXPECT_EQ(ev, kEvCts) << "kEvRing is not in the mask";
    DWORD errors = 0;
    COMSTAT st;
    port->clearCommError(errors, st);
    EXPECT_EQ(errors, kCeFrame);
    port->clearCommError(errors, st);
    EXPECT_EQ(errors, 0u) << "reading the errors clears them";
    // ptys have no modem lines: the line calls fail there.
    EXPECT_FALSE(port->escapeCommFunction(kSetDtr));
    EXPECT_FALSE(port->escapeCommFunction(kClrRts));
}

TEST_F(CommEvents, AFullQueueNeitherLosesBytesNorSpins) {
    p->setupComm(16, 16);
    p->setCommMask(kEvRxChar);
    std::atomic<bool> stop{false};
    std::atomic<int> wakeups{0};
    std::thread waiter([&] {
        DWORD ev;
        while (!stop && p->waitCommEvent(ev)) ++wakeups;
    });
    std::vector<std::uint8_t> sent(100);
    for (int i = 0; i < 100; ++i) sent[i] = static_cast<std::uint8_t>(i);
    peer.send(sent);
    std::this_thread::sleep_for(100ms);
    const int before = wakeups;
    std::this_thread::sleep_for(200ms);
    EXPECT_LE(wakeups - before, 1) << "a full queue must not make the wait spin";
    std::vector<std::uint8_t> got(100);
    DWORD done = 0;
    COMMTIMEOUTS t;
    t.ReadTotalTimeoutConstant = 1000;
    p->setCommTimeouts(t);
    ASSERT_TRUE(p->readFile(got.data(), 100, done, 1000));
    EXPECT_EQ(done, 100u);
    EXPECT_EQ(got, sent);
    stop = true;
    p->setCommMask(0);
    waiter.join();
}

// --- a device that goes away ------------------------------------------------------------

TEST_F(CommHangUp, TransfersFailAndTheWaitDoesNotSpin) {
    p->setCommMask(kEvRxChar);
    std::atomic<bool> stop{false};
    std::atomic<int> wakeups{0};
    std::thread waiter([&] {
        DWORD ev;
        while (!stop) {
            p->waitCommEvent(ev);
            ++wakeups;
        }
    });
    peer.send({7, 8});
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(p->escapeCommFunction(kClrBreak)) << "the line's functions until the device goes";
    peer.hangUp();
    std::this_thread::sleep_for(100ms);
    const int before = wakeups;
    const double cpu0 = vttest::cpuSeconds();
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(wakeups - before, 1);
    EXPECT_LT(vttest::cpuSeconds() - cpu0, 0.05);

    // What had arrived can still be taken; then reads and writes fail at once.
    std::uint8_t buf[2];
    DWORD done = 0;
    EXPECT_TRUE(p->readFile(buf, 2, done, 300));
    EXPECT_EQ(done, 2u);
    const auto t0 = Clock::now();
    EXPECT_FALSE(p->readFile(buf, 1, done, 300));
    const CommError why = defaultLayer().lastError();  // what the system said as the device went
    EXPECT_TRUE(why.code == CommCode::kSystem && (why.error == EIO || why.error == ENODEV)) << why.error;
    EXPECT_FALSE(p->writeFile("x", 1, done, 300));
    EXPECT_EQ(defaultLayer().lastError(), why);
    EXPECT_FALSE(p->escapeCommFunction(kClrBreak));
    EXPECT_EQ(defaultLayer().lastError(), why);
    EXPECT_LT(Clock::now() - t0, 250ms);
    DWORD errors;
    COMSTAT st;
    EXPECT_FALSE(p->clearCommError(errors, st)) << "the sign of a device gone: a queue that cannot be counted";
    EXPECT_EQ(st.cbInQue, 0u);
    EXPECT_EQ(defaultLayer().lastError(), why);

    stop = true;
    p->setCommMask(0);
    waiter.join();
}

// After closeHandle every call that reaches the device fails as closed, whatever the system says.
TEST_F(CommHangUp, AfterCloseCallsFailAsClosed) {
    ASSERT_TRUE(p->closeHandle());
    std::uint8_t b = 0;
    DWORD done = 0, flags = 0;
    DCB d;
    COMSTAT st;
    for (const auto& [name, call] : std::vector<std::pair<const char*, std::function<bool()>>>{
             {"readFile", [&] { return p->readFile(&b, 1, done, 10); }},
             {"writeFile", [&] { return p->writeFile(&b, 1, done, 10); }},
             {"waitCommEvent", [&] { return p->waitCommEvent(flags); }},
             {"clearCommError", [&] { return p->clearCommError(flags, st); }},
             {"getCommState", [&] { return p->getCommState(d); }},
             {"purgeComm", [&] { return p->purgeComm(kPurgeRxClear); }},
             {"escapeCommFunction", [&] { return p->escapeCommFunction(kSetDtr); }},
             {"closeHandle", [&] { return p->closeHandle(); }}}) {
        EXPECT_FALSE(call()) << name;
        EXPECT_EQ(defaultLayer().lastError(), (CommError{CommCode::kClosed, EBADF})) << name;
    }
}
