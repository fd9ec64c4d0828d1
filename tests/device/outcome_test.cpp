// How each command ends, as the value it returns: vtctl's exit codes and the window's "written"
// mark follow it, while the status log keeps its line for a wait without a reply.
#include <gtest/gtest.h>

#include <functional>

#include "device/device_link.h"
#include "testkit/qt/recording_notifier.h"
#include "tests/device/fake_port.h"
#include "tests/device/recorders.h"

using namespace std::chrono_literals;
using device::DeviceLink;
using device::Outcome;
using vttest::FakePort;

namespace {

struct OutcomeCase {
    const char* name;
    char command;  // 'I' simpleCommand, 'D' dump, 'W' write
    std::function<void(FakePort&, DeviceLink&)> unit;
    Outcome outcome;
    std::size_t written;  // bytes that went out
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

void answers(FakePort& port, DeviceLink&) { port.answerEveryByte(); }
void silent(FakePort&, DeviceLink&) {}
// Each byte but the first is answered at once; the first fails to go out and is answered later.
void firstByteLost(FakePort& port, DeviceLink&) {
    port.writesFail = true;
    port.answerEveryByte();
    port.later([&port] {
        port.writesFail = false;
        port.deliver("\x06");
    });
}
void lastByteLost(FakePort& port, DeviceLink&) {
    port.onWrite = [&port](std::uint8_t) {
        port.deliver("\x06");
        if (port.written.size() == 1) port.writesFail = true;  // the CR after the command's letter
    };
}
void writeByteLost(FakePort& port, DeviceLink&) {
    port.onWrite = [&port](std::uint8_t) {
        port.deliver("\x06");
        if (port.written.size() != 60) return;
        port.writesFail = true;
        port.later(
            [&port] {
                port.writesFail = false;
                port.deliver("\x06");
            },
            5);
    };
}
template <std::size_t Answered>
void goesSilent(FakePort& port, DeviceLink&) {
    port.onWrite = [&port](std::uint8_t) {
        if (port.written.size() < Answered) port.deliver("\x06");
    };
}
template <std::size_t Answered>
void portClosed(FakePort& port, DeviceLink& link) {
    port.onWrite = [&](std::uint8_t) {
        if (port.written.size() < Answered) return port.deliver("\x06");
        port.later([&link] { link.disconnect(); });
    };
}
void lineLost(FakePort& port, DeviceLink& link) {
    port.onWrite = [&](std::uint8_t) { port.later([&link] { link.lineLost(); }); };
}
void deviceGone(FakePort& port, DeviceLink&) {
    port.onWrite = [&port](std::uint8_t) {
        port.gone = true;
        port.deliver("");
    };
}
void windowCloses(FakePort& port, DeviceLink& link) {
    port.onWrite = [&](std::uint8_t) { port.later([&link] { link.deferClose(); }); };
}

const OutcomeCase kCases[] = {
    {"InitializeAnswered", 'I', answers, Outcome::Reply, 2},
    {"InitializeLetterLostButAnswered", 'I', firstByteLost, Outcome::NotAllSent, 1},
    {"InitializeCrLost", 'I', lastByteLost, Outcome::NotAllSent, 1},
    {"InitializeSilent", 'I', silent, Outcome::TimedOut, 1},
    {"InitializePortClosed", 'I', portClosed<1>, Outcome::NoLine, 1},
    {"InitializeWindowCloses", 'I', windowCloses, Outcome::Closing, 1},
    {"DumpAnswered", 'D', answers, Outcome::Reply, 2},
    {"DumpCrLost", 'D', lastByteLost, Outcome::NotAllSent, 1},
    {"DumpLineLost", 'D', lineLost, Outcome::NoLine, 1},
    {"DumpDeviceGone", 'D', deviceGone, Outcome::NoLine, 1},
    {"WriteAnswered", 'W', answers, Outcome::Reply, 130},
    {"WriteFirstByteLostButAnswered", 'W', firstByteLost, Outcome::NotAllSent, 129},
    {"WriteByteLostButAnswered", 'W', writeByteLost, Outcome::NotAllSent, 129},
    {"WriteSilentAfter100", 'W', goesSilent<100>, Outcome::TimedOut, 100},
    {"WritePortClosedAfter2", 'W', portClosed<2>, Outcome::NoLine, 2},
    {"WriteWindowCloses", 'W', windowCloses, Outcome::Closing, 1},
};

struct CommandOutcome : ::testing::TestWithParam<OutcomeCase> {
    vttest::RecordingView view;
    vttest::RecordingNotifier notes;
    FakePort port;
    DeviceLink link{port, view};
};

}  // namespace

TEST_P(CommandOutcome, IsReturnedAndTheNoReplyLineComesWithAFailedWaitOnly) {
    const OutcomeCase& c = GetParam();
    port.link = &link;
    port.open = true;
    // Only a silent unit may need the limit: any other wait that nothing ends times the test out.
    link.setReplyLimit(c.outcome == Outcome::TimedOut ? 50ms : std::chrono::milliseconds(vttest::kUnreachedReplyLimit));
    c.unit(port, link);
    const Outcome outcome = c.command == 'I'   ? link.simpleCommand('I')
                            : c.command == 'D' ? link.dump()
                                               : link.write({});
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(port.written.size(), c.written);
    EXPECT_EQ(view.status.endsWith(device::kNoReplyLine), !device::everyReplyCame(outcome))
        << view.status.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Link, CommandOutcome, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<OutcomeCase>& row) { return row.param.name; });
