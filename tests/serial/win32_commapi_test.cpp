// The comm layer's Windows back end under Wine, on COM1: a pseudo-terminal of the Linux side with
// the simulated unit behind it (tests/windows/com1_unit.sh sets that up). Opening, a byte and its
// answer, the time limits of a read, the event wait, and why a port does not open.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "serial/commapi.h"
#include "serial/win32/last_error.h"

using namespace commapi;

namespace {

constexpr BYTE kAck = 0x06;  // what the unit answers to a byte it takes no command from

long msSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

// COM1 open at 9600 8N1 with no driver time limits.
std::unique_ptr<CommPort> openCom1() {
    auto port = defaultLayer().createFile("com1");
    if (!port) return port;
    DCB dcb;
    EXPECT_TRUE(port->getCommState(dcb));
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = kNoParity;
    dcb.StopBits = kOneStopBit;
    dcb.Flags = fBinary;
    EXPECT_TRUE(port->setCommState(dcb));
    EXPECT_TRUE(port->setCommTimeouts(COMMTIMEOUTS{}));
    EXPECT_TRUE(port->purgeComm(kPurgeRxClear | kPurgeTxClear));
    return port;
}

}  // namespace

TEST(Win32Comm, AByteWrittenIsAnsweredByTheUnit) {
    const auto port = openCom1();
    ASSERT_TRUE(port) << int(defaultLayer().lastError().code) << " " << defaultLayer().lastError().error;
    EXPECT_EQ(defaultLayer().lastError(), CommError{});
    DWORD done = 0;
    ASSERT_TRUE(port->writeFile("x", 1, done, 2000));
    EXPECT_EQ(done, 1u);
    BYTE answer = 0;
    ASSERT_TRUE(port->readFile(&answer, 1, done, 5000));
    EXPECT_EQ(done, 1u);
    EXPECT_EQ(answer, kAck);
    EXPECT_TRUE(port->closeHandle());
    EXPECT_FALSE(port->closeHandle());
    EXPECT_EQ(defaultLayer().lastError().code, CommCode::kClosed);
}

// A read that nothing answers ends at the first limit: the caller's wait, the driver's total, or
// at once. Each bound is far from the limit that must not end it.
struct ReadLimit {
    const char* name;
    COMMTIMEOUTS timeouts;
    DWORD waitLimitMs;
    long atLeastMs, belowMs;
};

class Win32CommReadLimit : public testing::TestWithParam<ReadLimit> {};

TEST_P(Win32CommReadLimit, EndsWithNothingRead) {
    const ReadLimit& row = GetParam();
    const auto port = openCom1();
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setCommTimeouts(row.timeouts));
    BYTE buffer[4];
    DWORD done = 99;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port->readFile(buffer, sizeof buffer, done, row.waitLimitMs));
    const long ms = msSince(start);
    EXPECT_EQ(done, 0u);
    EXPECT_GE(ms, row.atLeastMs);
    EXPECT_LT(ms, row.belowMs);
}

INSTANTIATE_TEST_SUITE_P(Limits, Win32CommReadLimit,
                         testing::Values(ReadLimit{"CallersWait", {}, 300, 290, 4000},
                                         ReadLimit{"DriversTotal", {0, 0, 300, 0, 0}, 20000, 290, 4000},
                                         ReadLimit{"AtOnce", {kMaxDword, 0, 0, 0, 0}, 20000, 0, 4000}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Win32Comm, TheEventWaitSeesTheAnswerAndEndsAtAMaskChange) {
    const auto port = openCom1();
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setCommMask(kEvRxChar));
    DWORD occurred = 0;
    ASSERT_TRUE(port->waitCommEvent(occurred));  // the mask change before it ends the first at once
    EXPECT_EQ(occurred, 0u);
    // Wine now and then ends a wait as aborted, as a mask change does, when other Wine programs
    // keep it busy: the event thread waits again after a 0, and so does this (at most twice more).
    std::thread waiter([&] {
        for (int wait = 0; wait < 3 && occurred == 0; ++wait) EXPECT_TRUE(port->waitCommEvent(occurred));
    });
    DWORD done = 0;
    EXPECT_TRUE(port->writeFile("x", 1, done, 2000));
    waiter.join();
    EXPECT_EQ(occurred, kEvRxChar);
    DWORD errors = 0;
    COMSTAT stat;
    EXPECT_TRUE(port->clearCommError(errors, stat));
    EXPECT_EQ(stat.cbInQue, 1u);
    BYTE answer = 0;
    EXPECT_TRUE(port->readFile(&answer, 1, done, 2000));  // Wine reports bytes still queued as new

    occurred = 99;
    std::thread stopped([&] { EXPECT_TRUE(port->waitCommEvent(occurred)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port->setCommMask(0));
    stopped.join();
    EXPECT_LT(msSince(start), 4000);
    EXPECT_EQ(occurred, 0u);
}

// Why a port does not open, as the Linux back end says it: the outcome value and the line. Wine
// lets a second program open a port that one holds, so "in use" is the system's answer read
// (ERROR_ACCESS_DENIED, as Windows gives it), not one produced here.
struct OpenRefusal {
    const char* name;
    const char* port;
    CommError error;
    const char* reason;
};

class Win32CommOpen : public testing::TestWithParam<OpenRefusal> {};

TEST_P(Win32CommOpen, FailsWithItsReason) {
    const OpenRefusal& row = GetParam();
    EXPECT_FALSE(defaultLayer().createFile(row.port));
    const CommError error = defaultLayer().lastError();
    EXPECT_EQ(error, row.error) << int(error.code) << " " << error.error;
    EXPECT_EQ(openFailureReason(row.port, error.error), row.reason);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Refusals, Win32CommOpen,
    testing::Values(OpenRefusal{"NoSuchPort", "com250", {CommCode::kSystem, ENOENT},
                                "Cannot open com250 (\\\\.\\COM250): no such device"},
                    OpenRefusal{"NoPortName", "com0", {CommCode::kRefused, ENOENT},
                                "Cannot open com0: not a port name (COM1 ... COM256, or \\\\.\\NAME)"},
                    OpenRefusal{"BeyondTheLast", "com257", {CommCode::kRefused, ENOENT},
                                "Cannot open com257: not a port name (COM1 ... COM256, or \\\\.\\NAME)"}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

struct SystemAnswer {
    unsigned long code;
    CommError error;
    const char* reason;
};

class Win32CommOpenAnswer : public testing::TestWithParam<SystemAnswer> {};

TEST_P(Win32CommOpenAnswer, IsTheLinuxOutcome) {
    const SystemAnswer& row = GetParam();
    const CommError error = win32::openError(row.code);
    EXPECT_EQ(error, row.error) << int(error.code) << " " << error.error;
    EXPECT_EQ(openFailureReason("COM3", error.error), std::string("Cannot open COM3 (\\\\.\\COM3): ") + row.reason);
}

INSTANTIATE_TEST_SUITE_P(Answers, Win32CommOpenAnswer,
                         testing::Values(SystemAnswer{2, {CommCode::kSystem, ENOENT}, "no such device"},
                                         SystemAnswer{5, {CommCode::kRefused, EBUSY}, "in use by another program"},
                                         SystemAnswer{32, {CommCode::kRefused, EBUSY}, "in use by another program"},
                                         SystemAnswer{1, {CommCode::kRefused, ENOTTY}, "not a serial device"}));
