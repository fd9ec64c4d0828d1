// Which device a port name opens, in the corners: an alias left by a killed simulated unit, an
// alias that cannot be looked at, the same device named twice. Nothing here opens a port of the
// machine: what vtctl is kept from opening is a terminal the test holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "serial/commapi.h"
#include "serial/portname.h"
#include "serial/unit_record.h"
#include "tests/vtctl/units.h"
#include "tests/vtctl/vtctl_run.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A terminal somebody else opened (a shell's): both ends held by the test.
struct Terminal {
    int master = -1, slave = -1;
    std::string name;
    Terminal() {
        char buf[64] = {};
        if (::openpty(&master, &slave, buf, nullptr, nullptr) == 0) name = buf;
    }
    ~Terminal() {
        ::close(slave);
        ::close(master);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;
    termios attr() const {
        termios t{};
        ::tcgetattr(master, &t);
        return t;
    }
    // Whatever reached the terminal within the limit.
    std::string written(std::chrono::milliseconds limit) const {
        pollfd p{master, POLLIN, 0};
        char buf[256];
        const ssize_t n = ::poll(&p, 1, static_cast<int>(limit.count())) == 1 ? ::read(master, buf, sizeof buf) : 0;
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : "";
    }
};

bool sameTermios(const termios& a, const termios& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The next terminal opened on the machine that gets the number wanted (after a while, none).
std::unique_ptr<Terminal> terminalNamed(const std::string& wanted) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        auto t = std::make_unique<Terminal>();
        if (t->name == wanted) return t;
        t.reset();
        std::this_thread::sleep_for(10ms);
    }
    return nullptr;
}

struct PortChoice : vttest::UnitsOnPorts {
    std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }
    // Kills a unit on com11 (SIGKILL: its alias stays) and opens the next terminal that gets its
    // terminal's number, old; null when another program took that number.
    std::unique_ptr<Terminal> killUnitAndTakeItsNumber(std::string& old) {
        startUnit(11);
        old = fs::read_symlink(dir.portAlias(11));
        EXPECT_EQ(units[11]->stop(SIGKILL), 128 + SIGKILL);
        return terminalNamed(old);
    }
};

}  // namespace

TEST_F(PortChoice, AnAliasLeftByAKilledUnitNeverReachesTheNextTerminal) {
    std::string old;
    const auto victim = killUnitAndTakeItsNumber(old);
    if (!victim) GTEST_SKIP() << "another program took " << old;
    const termios before = victim->attr();

    std::string out, err;
    EXPECT_EQ(run({"--port", "com11", "channel", "1"}, nullptr, &err), 1);
    EXPECT_EQ(err, "Cannot open com11 (" + old + "): the simulated unit on com11 is no longer running\n");
    EXPECT_EQ(commapi::defaultLayer().createFile("COM11"), nullptr) << "the window's open";
    EXPECT_EQ(commapi::defaultLayer().lastError().error, commapi::kUnitEnded);
    EXPECT_EQ(run({"--port", "com11", "ports"}, &out), 0);
    EXPECT_EQ(firstLine(out), "com11 opens " + old + " (alias): the simulated unit on com11 is no longer running");
    EXPECT_EQ(victim->written(100ms), "");
    EXPECT_TRUE(sameTermios(victim->attr(), before));

    // A simulated unit takes the name over without --force, and is opened again.
    units[11] = std::make_unique<vttest::UnitProcess>(dir.path(), dir.file("log11"),
                                                      std::vector<std::string>{"--port", "com11"});
    for (int i = 0; i < 500 && fs::read_symlink(dir.portAlias(11)) == old; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(run({"--port", "com11", "channel", "1"}), 0);
    EXPECT_EQ(receivedOnce(11, 2), (std::vector<std::string>{"31", "0D"}));
}

// A unit's record is its owner's alone, and only the unit's own lock on it counts: another
// process that came to hold one (a lock needs no more than a read-only descriptor) keeps no
// killed unit's alias alive.
TEST_F(PortChoice, NoOtherProcesssLockOnTheRecordKeepsAKilledUnitAlive) {
    startUnit(11);
    const std::string record = commapi::unitRecordPath(dir.portAlias(11));
    EXPECT_EQ(fs::status(record).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(dir.file("vtconfig/ports")).permissions(), fs::perms::owner_all);
    const int held = ::open(record.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    EXPECT_EQ(commapi::aliasMaker(dir.portAlias(11)), commapi::AliasMaker::RunningUnit);
    EXPECT_EQ(units[11]->stop(SIGKILL), 128 + SIGKILL);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(commapi::aliasMaker(dir.portAlias(11)), commapi::AliasMaker::EndedUnit);
    ::close(held);
}

// A user's link to a terminal has no record of a unit, whatever number the terminal has.
TEST_F(PortChoice, AUsersOwnAliasToATerminalOpens) {
    std::string old;
    const auto mine = killUnitAndTakeItsNumber(old);
    if (!mine) GTEST_SKIP() << "another program took " << old;
    fs::remove(dir.portAlias(11));
    dir.linkPort(11, old);  // as socat makes it
    EXPECT_NE(commapi::defaultLayer().createFile("com11"), nullptr) << commapi::defaultLayer().lastError().error;
}

// As another user, a ports folder that user may not look into hides whether com1 has an alias:
// com1 is then no /dev/ttyS0 but a name that cannot be told.
TEST_F(PortChoice, AnAliasThatCannotBeLookedAtIsNoTtyS) {
    if (::geteuid() != 0) GTEST_SKIP() << "running as another user needs root";
    fs::create_directories(dir.file("vtconfig/ports"));
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.file("vtconfig").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.file("vtconfig/ports").c_str(), 0700), 0);
    vttest::VtctlRun vtctl({"--port", "com1", "ports"}, -1,
                           {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    EXPECT_EQ(vtctl.wait(), 0) << vtctl.err();
    EXPECT_EQ(firstLine(vtctl.out()),
              "com1: its alias " + dir.portAlias(1) + " cannot be looked at: permission denied");
}

// Two jobs on one device would each send the command: the same device named twice, in any
// spelling, is refused before anything is opened.
TEST_F(PortChoice, TheSameDeviceTwiceIsAUsageError) {
    startUnit(1);
    const std::string slave = fs::read_symlink(dir.portAlias(1));
    std::string err;
    for (const std::string& other : {std::string("COM1"), dir.portAlias(1), slave}) {
        EXPECT_EQ(run({"--port", "com1", "--port", "com2", "--port", other, "init"}, nullptr, &err), 2) << other;
        EXPECT_EQ(err, "vtctl: --port com1 and --port " + other + " name the same device (try vtctl --help)\n");
    }
    EXPECT_EQ(run({"--port", "com1", "--port", "COM1", "init"}, nullptr, &err), 2) << "next to each other";
    EXPECT_TRUE(received(1).empty());
}

// "You may open it" takes reading and writing: a terminal another user may only read, or only
// write, is one that user may not open.
TEST_F(PortChoice, AnotherUserMayOpenOnlyATerminalItMayReadAndWrite) {
    if (::geteuid() != 0) GTEST_SKIP() << "running as another user needs root";
    const Terminal t;
    dir.linkPort(1, t.name);
    for (const std::string& folder : {dir.path(), dir.file("vtconfig"), dir.file("vtconfig/ports")})
        ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    for (const auto& [mode, note] :
         {std::pair{0606, "you may open it"}, {0604, "you may not open it"}, {0602, "you may not open it"}}) {
        ASSERT_EQ(::chmod(t.name.c_str(), static_cast<mode_t>(mode)), 0);
        vttest::VtctlRun vtctl({"--port", "com1", "ports"}, -1,
                               {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        EXPECT_EQ(vtctl.wait(), 0) << vtctl.err();
        EXPECT_EQ(firstLine(vtctl.out()), "com1 opens " + t.name + " (alias): pseudo-terminal; " + note) << mode;
    }
}
