// vtctl against the simulated unit: the window's bytes for every command, and every way a
// command fails, each with its exit code and reason, within the reply wait's bound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "testkit/port_holder.h"
#include "tests/vtctl/units.h"
#include "tests/vtctl/vtctl_run.h"

using namespace std::chrono_literals;
using vttest::VtctlRun;
using Bytes = std::vector<std::string>;

namespace {

struct Vtctl : vttest::UnitsOnPorts {
    bool aliasLeft(int n) const { return std::filesystem::is_symlink(dir.portAlias(n)); }
    // The settings of unit n's terminal, as the next program to open it finds them.
    termios slaveAttr(int n) const {
        termios t{};
        const int fd = ::open(dir.portAlias(n).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ::tcgetattr(fd, &t);
        ::close(fd);
        return t;
    }
};

// A dump row of sixteen bytes: first, then fifteen 00.
std::string row(const char* first) {
    std::string r = first;
    for (int i = 0; i < 15; ++i) r += " 00";
    return r + "\n";
}

}  // namespace

TEST_F(Vtctl, EveryCommandPutsTheWindowsBytesOnTheWire) {
    startUnit(1);
    std::string out, err;
    EXPECT_EQ(run({"init"}), 0);
    EXPECT_EQ(run({"channel", "5"}), 0);
    EXPECT_EQ(run({"--quiet-ms", "50", "send", "41", "0d"}, &out), 0);
    EXPECT_EQ(out, "06 06\n");  // the unit's answers, as they came
    EXPECT_EQ(run({"--quiet-ms", "50", "dump"}, &out, &err), 0);
    EXPECT_EQ(err, "");
    // The reply to "D", the 128 bytes of memory and the channel, then the reply to CR.
    std::string rows = row("06");
    for (int r = 1; r < 8; ++r) rows += row("00");
    EXPECT_EQ(out, rows + "00 05 06\n");
    EXPECT_EQ(receivedOnce(1, 8), (Bytes{"49", "0D", "35", "0D", "41", "0D", "44", "0D"}));
}

TEST_F(Vtctl, WriteOfAHeaderLeavesItsImageInTheUnit) {
    startUnit(1);
    const std::string image = vttest::writeExampleHeader(dir.file("table.h"));
    std::string out, err;
    EXPECT_EQ(run({"write", dir.file("table.h")}, &out, &err), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");  // no progress line off a terminal
    Bytes sent{"57", "0D"};
    for (unsigned char b : image) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        sent.push_back(hex);
    }
    EXPECT_EQ(receivedOnce(1, 130), sent);
    EXPECT_EQ(memory(1), image);
}

TEST_F(Vtctl, ASilentUnitGivesNoReplyAfterTheWait) {
    startUnit(1, {"--silent"});
    std::string err;
    EXPECT_EQ(run({"init"}, nullptr, &err), 1);
    EXPECT_EQ(err, "No reply from the unit\n");
    EXPECT_EQ(receivedOnce(1, 1), Bytes{"49"});  // no CR without a reply
}

TEST_F(Vtctl, AUnitHangingUpMidWriteEndsItAtOnce) {
    startUnit(1, {"--hangup-after", "10"});
    vttest::writeExampleHeader(dir.file("table.h"));
    std::string err;
    EXPECT_EQ(run({"write", dir.file("table.h")}, nullptr, &err), 1);
    EXPECT_EQ(err, "No reply from the unit (the device has gone)\n");
    EXPECT_EQ(units[1]->waitExit(5s), 0);
    EXPECT_FALSE(aliasLeft(1));
}

TEST_F(Vtctl, APortThatIsNotThereOrIsHeldIsNamedWithTheReason) {
    startUnit(1);
    dir.linkPort(2, dir.file("absent"));
    std::string err;
    EXPECT_EQ(run({"--port", "com2", "init"}, nullptr, &err), 1);
    EXPECT_EQ(err, "Cannot open com2 (" + dir.file("absent") + "): no such device\n");
    {
        vttest::PortHolder holder(dir.portAlias(1));
        ASSERT_TRUE(holder.held());
        EXPECT_EQ(run({"init"}, nullptr, &err), 1);
        std::string comm;
        std::getline(std::ifstream("/proc/self/comm"), comm);
        const std::string slave = std::filesystem::canonical(dir.portAlias(1)).string();
        EXPECT_EQ(err, "Cannot open com1 (" + slave + "): in use by process " + std::to_string(holder.pid()) + " (" +
                           comm + ")\n");
        holder.letGo();
    }
    EXPECT_EQ(run({"init"}), 0);
    EXPECT_EQ(receivedOnce(1, 2), (Bytes{"49", "0D"}));
}

TEST_F(Vtctl, ABadFileOrCommandLineSendsNothing) {
    startUnit(1);
    vttest::writeBytes(dir.file("bad.h"), "//2026/01/31\r\n//0  x\r\n  0x1,    //RefReg\r\n");
    std::string err;
    EXPECT_EQ(run({"write", dir.file("bad.h")}, nullptr, &err), 3);
    EXPECT_EQ(err, "vtctl: " + dir.file("bad.h") + ": line 3: expected `  0x…,    //RefReg`\n");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));
    std::filesystem::create_symlink("loop", dir.file("loop"));
    vttest::writeBytes(dir.file("big.h"), "");
    ASSERT_EQ(::truncate(dir.file("big.h").c_str(), (64 << 20) + 1), 0);
    for (const auto& [file, problem] : {std::pair{dir.file("missing.h"), "no such file"},
                                        {dir.file("fifo"), "not a file but a FIFO"},
                                        {dir.file("folder"), "not a file but a folder"},
                                        {std::string("/dev/null"), "not a file but a device"},
                                        {dir.file("loop"), "a loop of links"},
                                        {dir.file("big.h"), "too large (more than 64 MiB)"}}) {
        EXPECT_EQ(run({"write", file}, nullptr, &err), 3) << file;
        EXPECT_EQ(err, "vtctl: " + file + ": " + problem + "\n");
    }
    EXPECT_EQ(run({"write", dir.file("a\n\x1b[2J.h")}, nullptr, &err), 3) << "a name is quoted escaped";
    EXPECT_EQ(err, "vtctl: " + dir.file("a\\x0a\\x1b[2J.h") + ": no such file\n");
    EXPECT_EQ(run({"--baud", "4800", "init"}, nullptr, &err), 2);
    EXPECT_EQ(err, "vtctl: --baud: 9600 or 115200, not '4800' (try vtctl --help)\n");
    EXPECT_TRUE(received(1).empty());  // the port was never opened: nothing can be on its way
}

// A unit that never stops sending ends dump and send at --timeout, with what came so far. The
// quiet time is longer than that: a unit held up on a loaded machine makes a quiet line too.
TEST_F(Vtctl, DumpAndSendEndAtTheTimeout) {
    startUnit(1, {"--flood", "1000000", "--baud", "9600"});  // about 100 s of bytes
    for (const std::vector<std::string>& command : {std::vector<std::string>{"dump"}, {"send", "41"}}) {
        std::vector<std::string> args{"--timeout", "1", "--quiet-ms", "60000"};
        args.insert(args.end(), command.begin(), command.end());
        VtctlRun vtctl(args);
        EXPECT_EQ(vtctl.wait(8s), 1) << command[0];
        EXPECT_EQ(vtctl.err(), "the reply went on past 1 s (--timeout)\n");
        EXPECT_NE(vtctl.out(), "") << "what came is printed";
    }
}

// A vtctl held up (stopped with Ctrl-Z, then continued) takes what came meanwhile before it finds
// the line quiet: a line that never went quiet ends at the timeout however often vtctl stopped.
TEST_F(Vtctl, AStoppedVtctlDoesNotTakeItsStopForAQuietLine) {
    int master = -1, slave = -1;
    char slavePath[64];
    ASSERT_EQ(::openpty(&master, &slave, slavePath, nullptr, nullptr), 0);
    VtctlRun vtctl({"--port", slavePath, "--quiet-ms", "300", "--timeout", "4", "send", "41"});
    char sent = 0;
    for (int i = 0; i < 300 && sent != 'A'; ++i)
        if (::read(master, &sent, 1) != 1) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(sent, 'A');
    std::atomic<bool> over{false};
    std::atomic<std::chrono::steady_clock::duration> longestGap{};
    std::thread unit([&, last = std::chrono::steady_clock::now()]() mutable {  // a byte every 5 ms, run or stopped
        for (; !over; std::this_thread::sleep_for(5ms)) {
            (void)!::write(master, "U", 1);
            const auto now = std::chrono::steady_clock::now();
            longestGap = std::max(longestGap.load(), now - last);
            last = now;
        }
    });
    for (int stop = 0; stop < 6; ++stop) {  // a stop is often taken for quiet when not counted again
        std::this_thread::sleep_for(100ms);
        ::kill(vtctl.pid(), SIGSTOP);
        std::this_thread::sleep_for(500ms);
        ::kill(vtctl.pid(), SIGCONT);
    }
    const int status = vtctl.wait();
    over = true;
    unit.join();
    ::close(master);
    ::close(slave);
    if (longestGap.load() > 200ms) GTEST_SKIP() << "the test's writer was held up: the line was quiet";
    EXPECT_EQ(status, 1);
    EXPECT_EQ(vtctl.err(), "the reply went on past 4 s (--timeout)\n");
}

// A device that goes ends the wait of dump and send for a quiet line at once.
TEST_F(Vtctl, DumpAndSendEndAtOnceWhenTheDeviceGoes) {
    for (const auto& [n, command] : {std::pair{1, Bytes{"dump"}}, std::pair{2, Bytes{"send", "41", "42"}}}) {
        startUnit(n, {"--hangup-after", "2"});
        std::vector<std::string> args{"--port", name(n), "--quiet-ms", "60000", "--timeout", "3600"};
        args.insert(args.end(), command.begin(), command.end());
        std::string err;
        EXPECT_EQ(run(args, nullptr, &err), 1) << command[0];  // not after a minute
        EXPECT_EQ(err, "the device has gone\n") << command[0];
    }
}

// Output that cannot be written (a full disk, a file size limit) is said, and fails the run.
TEST_F(Vtctl, AFailedWriteOfTheOutputIsReported) {
    startUnit(1);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    // No file may grow: stdout's file is full from the start (stderr goes to a pipe).
    VtctlRun vtctl({"--quiet-ms", "50", "dump"}, pipeFds[1],
                   {"bash", "-c", "trap '' XFSZ; ulimit -f 0; exec \"$0\" \"$@\""});
    ::close(pipeFds[1]);
    EXPECT_EQ(vtctl.wait(), 1);
    char buf[256];
    const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
    ::close(pipeFds[0]);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(std::max<ssize_t>(n, 0))),
              "vtctl: cannot write to standard output: over the file size limit\n");
}

// A write stopped midway leaves the unit waiting for the rest, which it would take from the next
// command as memory: 13 of 130 bytes sent (the 13th unanswered) leave it 117 short. Two signals
// at once (a Ctrl-C pressed twice) end it as one does: the port is put back first.
TEST_F(Vtctl, AStopSignalEndsTheWaitAndPutsThePortBack) {
    vttest::writeExampleHeader(dir.file("table.h"));
    const struct {
        Bytes unitArgs;
        std::vector<std::string> command;
        std::size_t sent;
        std::string said;
    } cases[] = {
        {{"--silent"}, {"init"}, 1, "interrupted\n"},
        {{"--stop-after", "12"},
         {"write", dir.file("table.h")},
         13,
         "interrupted: the unit is left in the middle of a write, 117 bytes short: write it again\n"},
    };
    for (int n = 1; const auto& c : cases) {
        startUnit(n, c.unitArgs);
        const termios found = slaveAttr(n);
        std::vector<std::string> args{"--port", name(n)};
        args.insert(args.end(), c.command.begin(), c.command.end());
        VtctlRun vtctl(args);
        ASSERT_EQ(receivedOnce(n, c.sent).size(), c.sent);  // waiting for the reply now
        ::kill(vtctl.pid(), SIGINT);
        std::this_thread::sleep_for(5ms);  // two signals, not one pending twice
        ::kill(vtctl.pid(), SIGINT);
        EXPECT_EQ(vtctl.wait(), 1);
        EXPECT_EQ(vtctl.err(), c.said);
        const termios after = slaveAttr(n);
        EXPECT_EQ(std::memcmp(&found, &after, sizeof found), 0) << "the terminal's settings as they were";
        vttest::PortHolder holder(dir.portAlias(n++));  // neither locked nor left exclusive
        EXPECT_TRUE(holder.held());
        holder.letGo();
    }
}

// Every signal that would end a write ends it as SIGINT does, saying what the unit was left
// with; one that was ignored when vtctl started (nohup) stays ignored.
TEST_F(Vtctl, EverySignalThatWouldEndAWriteSaysWhatItLeft) {
    vttest::writeExampleHeader(dir.file("table.h"));
    const std::string shortOf117 =
        "interrupted: the unit is left in the middle of a write, 117 bytes short: write it again\n";
    const struct {
        int signal;
        std::vector<std::string> launcher;
        std::string said;
    } rows[] = {{SIGUSR1, {}, shortOf117},
                {SIGUSR2, {}, shortOf117},
                {SIGALRM, {}, shortOf117},
                {SIGPIPE, {}, shortOf117},
                {SIGXCPU, {}, shortOf117},
                {SIGXFSZ, {}, shortOf117},
                {SIGQUIT, {}, shortOf117},
                {SIGRTMIN + 1, {}, shortOf117},
                {SIGHUP, {"bash", "-c", "trap '' HUP; exec \"$0\" \"$@\""}, "No reply from the unit\n"}};
    for (const auto& row : rows) {
        units.erase(1);
        startUnit(1, {"--stop-after", "12"});
        VtctlRun vtctl({"write", dir.file("table.h")}, -1, row.launcher);
        ASSERT_EQ(receivedOnce(1, 13).size(), 13u) << row.signal;  // waiting for the 13th reply
        ::kill(vtctl.pid(), row.signal);
        EXPECT_EQ(vtctl.wait(), 1) << row.signal;
        EXPECT_EQ(vtctl.err(), row.said) << row.signal;
    }
}

// The exclusive mode that a killed vtctl leaves on the simulated unit's terminal is cleared by
// the unit, so the next vtctl gets the port.
TEST_F(Vtctl, AKilledClientLeavesTheSimulatedPortFreeForTheNext) {
    startUnit(1, {"--reply-delay", "400"});  // long enough to kill the first while it waits
    {
        VtctlRun killed({"init"});
        ASSERT_EQ(receivedOnce(1, 1), Bytes{"49"});
        EXPECT_EQ(killed.stop(SIGKILL), 128 + SIGKILL);
    }
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (vttest::readWholeFile(dir.file("log1")).find("released\n") == std::string::npos &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    std::string err;
    EXPECT_EQ(run({"init"}, nullptr, &err), 0) << err;
}

// Only a link is an alias, and only a terminal is one "you may open".
TEST_F(Vtctl, PortsSaysWhatEachNameOpens) {
    startUnit(1);
    vttest::writeBytes(dir.file("plain"), "");
    dir.linkPort(3, dir.file("plain"));
    vttest::writeBytes(dir.portAlias(4), "");
    std::filesystem::create_directory(dir.portAlias(5));
    dir.linkPort(6, "/dev/null");
    for (int n : {2, 7, 8, 9, 10, 11, 12}) dir.linkPort(n, dir.file("absent"));  // not this machine's ttyS
    std::string out;
    EXPECT_EQ(run({"ports"}, &out), 0);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(out.substr(at, end - at));
    ASSERT_GE(lines.size(), 13u);  // com1 … com12, then this machine's devices
    const std::string slave = std::filesystem::read_symlink(dir.portAlias(1)).string();
    EXPECT_EQ(lines[0], "com1 opens " + slave + " (alias): pseudo-terminal; you may open it");
    EXPECT_EQ(lines[1], "com2 opens " + dir.file("absent") + " (alias): not present");
    EXPECT_EQ(lines[2], "com3 opens " + dir.file("plain") + " (alias): not a device");
    EXPECT_EQ(lines[3], "com4 opens " + dir.portAlias(4) + ": not a device");
    EXPECT_EQ(lines[4], "com5 opens " + dir.portAlias(5) + ": not a device");
    EXPECT_EQ(lines[5], "com6 opens /dev/null (alias): not a serial device");
    EXPECT_EQ(lines[11], "com12 opens " + dir.file("absent") + " (alias): not present");
}

// Only a write has a progress line, and only on a terminal (off one, see WriteOfAHeader…).
TEST_F(Vtctl, AWriteOnATerminalShowsItsProgress) {
    startUnit(1);
    vttest::writeExampleHeader(dir.file("table.h"));
    const auto onTerminal = [](std::vector<std::string> args) {
        int master = -1, slave = -1;
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return std::string("no pty");
        VtctlRun vtctl(std::move(args), slave);
        ::close(slave);
        std::string shown = std::to_string(vtctl.wait()) + " ";
        char buf[4096];
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) shown.append(buf, static_cast<std::size_t>(n));
        ::close(master);
        return shown;
    };
    const std::string shown = onTerminal({"write", dir.file("table.h")});
    EXPECT_TRUE(shown.starts_with("0 ")) << shown;
    EXPECT_NE(shown.find("\r130/130 bytes, "), std::string::npos) << shown;
    EXPECT_EQ(shown.back(), '\n');
    EXPECT_EQ(onTerminal({"init"}), "0 ");
}

// dump and send give up on a unit that never goes quiet once more than 64 KiB has come, with
// what came printed and the status of a failed command.
TEST_F(Vtctl, DumpAndSendStopAtTheirLimitAgainstAFloodingUnit) {
    startUnit(1, {"--flood", "1073741824"});
    startUnit(2, {"--flood", "1073741824"});
    for (const auto& [port, command] : {std::pair{"com1", "dump"}, std::pair{"com2", "send"}}) {
        std::vector<std::string> args{"--port", port, command};
        if (std::string(command) == "send") args.push_back("41");
        std::string out, err;
        EXPECT_EQ(run(args, &out, &err), 1) << command;
        EXPECT_EQ(err, "the unit never went quiet (65536 bytes and more)\n") << command;
        EXPECT_GT(std::count(out.begin(), out.end(), '\n'), 65536 / 16) << command;  // rows of sixteen
    }
}
