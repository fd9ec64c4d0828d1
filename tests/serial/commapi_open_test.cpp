// Opening ports of the POSIX back end on pseudo-terminals: names, other users of the port, and
// the device's settings left as they were found.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cstring>

#include "device_stand_in.h"
#include "pty_peer.h"
#include "serial/commapi.h"
#include "serial/posix/posix_layer.h"
#include "testkit/temp_dir.h"

using namespace commapi;

namespace {

// Another program's end of the slave, set to a cooked terminal's ICANON|ECHO.
int cookedHolder(const PtyPeer& peer) {
    const int fd = ::open(peer.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    ::tcgetattr(fd, &t);
    t.c_iflag |= ICRNL | IXON;
    t.c_oflag |= OPOST | ONLCR;
    t.c_lflag |= ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    t.c_cflag |= HUPCL;
    ::cfsetspeed(&t, B38400);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// A driver with a low-latency mode (a USB adapter's), in the state given; it may refuse the
// change as some drivers do (EINVAL).
class LowLatencyDriver final : public DeviceStandIn {
public:
    explicit LowLatencyDriver(tty::LowLatency found, bool refuses = false) : mode(found), refuses_(refuses) {}
    tty::LowLatency lowLatency(int) const override { return mode; }
    bool setLowLatency(int, bool on) const override {
        changes += on ? "+" : "-";
        if (refuses_ || mode == tty::LowLatency::Unsupported) return errno = EINVAL, false;
        mode = on ? tty::LowLatency::On : tty::LowLatency::Off;
        return true;
    }
    mutable tty::LowLatency mode;
    mutable std::string changes;  // "+" on, "-" off, as asked

private:
    bool refuses_;
};

bool sameTermios(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

}  // namespace

// --- opening -----------------------------------------------------------------------------

TEST(CommOpen, RefusesAPortInUseAndNonTerminals) {
    PtyPeer peer;
    auto first = defaultLayer().createFile(peer.path());
    ASSERT_TRUE(first);
    EXPECT_FALSE(defaultLayer().createFile(peer.path()));
    EXPECT_FALSE(defaultLayer().createFile("/dev/null"));
    EXPECT_FALSE(defaultLayer().createFile("/nonexistent/tty"));
    EXPECT_FALSE(defaultLayer().createFile("LPT1"));
    first->closeHandle();
    first.reset();
    EXPECT_TRUE(defaultLayer().createFile(peer.path())) << "closing must release the port";
}

// Why an open failed, as the layer tells it: refused by the layer or by the system, with the
// errno; a successful open clears it.
TEST(CommOpen, AFailedOpenSaysWhyUntilOneSucceeds) {
    PtyPeer peer;
    const vttest::ConfigHome home;
    vttest::writeBytes(home.file("plain"), "");
    vttest::writeBytes(home.file("vtconfig"), "no folder of aliases");
    for (const auto& [name, why] :
         std::vector<std::pair<std::string, CommError>>{{home.file("absent"), {CommCode::kSystem, ENOENT}},
                                                        {home.file("plain"), {CommCode::kRefused, ENOTTY}},
                                                        {"LPT1", {CommCode::kRefused, ENOENT}},
                                                        {"com3", {CommCode::kRefused, ENOTDIR}}}) {
        EXPECT_FALSE(defaultLayer().createFile(name)) << name;
        EXPECT_EQ(defaultLayer().lastError(), why) << name;
        EXPECT_TRUE(defaultLayer().createFile(peer.path()));
        EXPECT_EQ(defaultLayer().lastError(), CommError{}) << "after " << name;
    }
}

// A port another program holds exclusively is refused before anything is changed: by flock,
// and by TIOCEXCL alone, which would not stop the super-user's open by itself.
TEST(CommOpen, APortAnotherProgramLockedIsRefusedUntouched) {
    for (const bool byFlock : {true, false}) {
        PtyPeer peer;
        const int holder = cookedHolder(peer);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(byFlock ? ::flock(holder, LOCK_EX | LOCK_NB) : ::ioctl(holder, TIOCEXCL), 0);
        const termios before = peer.attr();
        EXPECT_FALSE(defaultLayer().createFile(peer.path())) << byFlock;
        EXPECT_TRUE(sameTermios(before, peer.attr())) << byFlock;
        ::close(holder);
    }
}

// The port changes a terminal it shares with another program only while it has it open.
TEST(CommOpen, CloseLeavesTheDeviceAsItWasFound) {
    PtyPeer peer;
    const int holder = cookedHolder(peer);
    ASSERT_GE(holder, 0);
    const termios before = peer.attr();
    auto p = defaultLayer().createFile(peer.path());
    ASSERT_TRUE(p);
    DCB d;
    p->getCommState(d);
    d.BaudRate = 115200;
    d.Flags |= fOutX | fInX;
    ASSERT_TRUE(p->setCommState(d));
    EXPECT_FALSE(peer.attr().c_lflag & (ICANON | ECHO)) << "raw while open";
    EXPECT_TRUE(p->closeHandle());
    EXPECT_TRUE(sameTermios(before, peer.attr()));
    ::close(holder);
}

TEST(CommOpen, ComNameFollowsTheAliasInTheConfigDirectory) {
    PtyPeer peer;
    auto p = [&] {
        const vttest::ConfigHome home;
        home.linkPort(5, peer.path());
        return defaultLayer().createFile("COM5");
    }();
    ASSERT_TRUE(p);
    DWORD done = 0;
    ASSERT_TRUE(p->writeFile("k", 1, done, 100));
    EXPECT_EQ(peer.receive(1), std::vector<std::uint8_t>{'k'});
}

// Low latency is asked for at open where the driver has it off, and turned off again at close;
// a driver that has it on already is left alone, and one without it or refusing it still opens.
TEST(CommOpen, LowLatencyIsAskedForAtOpenAndPutBackAtClose) {
    using tty::LowLatency;
    struct Case {
        LowLatency found;
        bool refuses;
        LowLatency whileOpen;
        const char* changes;
    };
    for (const Case& c :
         {Case{LowLatency::Off, false, LowLatency::On, "+-"}, Case{LowLatency::On, false, LowLatency::On, ""},
          Case{LowLatency::Unsupported, false, LowLatency::Unsupported, ""},
          Case{LowLatency::Off, true, LowLatency::Off, "+"}}) {
        PtyPeer peer;
        LowLatencyDriver driver(c.found, c.refuses);
        PosixLayer layer(driver);
        auto p = layer.createFile(peer.path());
        ASSERT_TRUE(p) << c.changes;
        EXPECT_EQ(driver.mode, c.whileOpen) << c.changes;
        EXPECT_TRUE(p->closeHandle());
        EXPECT_EQ(driver.mode, c.found) << c.changes;
        EXPECT_EQ(driver.changes, c.changes);
    }
    // The real driver of a pty has no serial info: nothing to ask for, nothing refused.
    PtyPeer peer;
    const int fd = ::open(peer.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_EQ(tty::deviceQueries().lowLatency(fd), LowLatency::Unsupported);
    EXPECT_FALSE(tty::deviceQueries().setLowLatency(fd, true));
    ::close(fd);
}
