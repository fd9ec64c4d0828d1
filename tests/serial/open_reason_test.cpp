// Why a port did not open, one reason each, on pseudo-terminals and files: the line the status
// log and vtctl show.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>

#include "pty_peer.h"
#include "serial/commapi.h"
#include "serial/posix/open_reason.h"
#include "serial/simulated_terminal.h"
#include "testkit/child_process.h"
#include "testkit/port_holder.h"
#include "testkit/temp_dir.h"

using namespace commapi;

namespace {

std::string reasonFor(const std::string& port) {
    if (defaultLayer().createFile(port)) return "opened";
    return openFailureReason(port, defaultLayer().lastError().error);
}

// What the probe says when it opens path as "nobody", with no groups but its own.
std::string reasonForNobody(const std::string& path) {
    vttest::ChildProcess probe([&](const vttest::ChildProcess::Parent& parent) {
        ::dup2(parent.sayFd, 1);
        const char* argv[] = {"setpriv",        "--reuid",         "65534",      "--regid", "65534",
                              "--clear-groups", OPEN_REASON_PROBE, path.c_str(), nullptr};
        ::execvp(argv[0], const_cast<char* const*>(argv));
        return 127;
    });
    std::string said = probe.hear();
    probe.waitExit();
    if (!said.empty() && said.back() == '\n') said.pop_back();
    return said;
}

constexpr const char* kJoin = "; add your user to the group that owns the device, e.g. dialout, and log in again";

}  // namespace

// A device of a group the user is not in: the reason says to join it, but only where the group
// may read and write the device (not where it may only read it, or only write it).
TEST(OpenReason, PermissionDeniedNamesTheGroupToJoin) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a device to another group needs root";
    const group* dialout = ::getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : 0;
    const std::string name = dialout ? "dialout" : "root";
    PtyPeer peer;
    vttest::TempDir dir;
    const std::string file = dir.file("ttyFAKE");
    vttest::writeBytes(file, "");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    for (const std::string& path : {peer.path(), file}) {
        ASSERT_EQ(::chown(path.c_str(), 0, gid), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0660), 0);
        EXPECT_EQ(reasonForNobody(path), "Cannot open " + path + ": permission denied (group " + name + ")" + kJoin);
        for (const mode_t mode : {0600, 0640, 0620}) {
            ASSERT_EQ(::chmod(path.c_str(), mode), 0);
            EXPECT_EQ(reasonForNobody(path), "Cannot open " + path + ": permission denied") << mode;
        }
    }
}

TEST(OpenReason, InUseNamesTheProcessHoldingTheLock) {
    PtyPeer peer;
    vttest::PortHolder holder(peer.path());
    ASSERT_TRUE(holder.held());
    const std::string reason = reasonFor(peer.path());
    EXPECT_EQ(
        reason.rfind("Cannot open " + peer.path() + ": in use by process " + std::to_string(holder.pid()) + " (", 0),
        0u)
        << reason;
    holder.letGo();
}

TEST(OpenReason, ADanglingAliasIsNoSuchDevice) {
    const vttest::ConfigHome home;
    home.linkPort(7, home.file("ttyUSB9"));
    EXPECT_EQ(reasonFor("com7"), "Cannot open com7 (" + home.file("ttyUSB9") + "): no such device");
}

// Each says what it is instead of the system's bare text (a socket is no "no such device").
TEST(OpenReason, WhatIsNoSerialDeviceSaysWhatItIs) {
    vttest::TempDir dir;
    vttest::writeBytes(dir.file("notes"), "x");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", dir.file("socket").c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    for (const auto& [name, what] : {std::pair{"notes", "not a serial device (a regular file)"},
                                     {"fifo", "not a serial device (a FIFO)"},
                                     {"folder", "not a serial device (a folder)"},
                                     {"socket", "not a serial device (a socket)"},
                                     {"loop", "a loop of links"}})
        EXPECT_EQ(reasonFor(dir.file(name)), "Cannot open " + dir.file(name) + ": " + what);
    ::close(sock);
}

// A program that set exclusive mode and ended leaves it behind while another open keeps the
// terminal; nobody holds a lock then.
TEST(OpenReason, ExclusiveModeWithoutAHolderWasLeftByAProgramThatEnded) {
    PtyPeer peer;
    const int fd = ::open(peer.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
    EXPECT_EQ(reasonFor(peer.path()), "Cannot open " + peer.path() +
                                          ": in use: left in exclusive mode by a program that has ended (no "
                                          "program holds its lock)");
    // The simulated unit drops such a mode, but never one whose program still holds the lock.
    ::ioctl(fd, TIOCNXCL);
    {
        vttest::PortHolder holder(peer.path());
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(clearAbandonedExclusive(fd));
        int exclusive = 0;
        EXPECT_TRUE(::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive);
        holder.letGo();
    }
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
    EXPECT_TRUE(clearAbandonedExclusive(fd));
    ::close(fd);
}

// Only a holder counts: a process waiting for the lock, and an open-file lock (no process), do
// not; the device number is in hexadecimal.
TEST(OpenReason, LockHolderIsReadFromProcLocks) {
    const std::string locks =
        "1: OFDLCK ADVISORY  WRITE -1 00:1a:5 0 EOF\n"
        "2: FLOCK  ADVISORY  WRITE 4321 00:1a:5 0 EOF\n"
        "2: -> FLOCK  ADVISORY  WRITE 99 00:1a:5 0 EOF\n"
        "3: POSIX  ADVISORY  WRITE 77 00:1a:55 0 EOF\n";
    EXPECT_EQ(lockHolder(locks, makedev(0, 26), 5), 4321);
    EXPECT_EQ(lockHolder(locks, makedev(0, 26), 55), 77);
    EXPECT_EQ(lockHolder(locks, makedev(0, 20), 5), 0);
}

// A name is quoted escaped, as the list problems of vtplan are: a line end or an escape sequence
// in it can neither forge a line of the status log nor colour the terminal.
TEST(OpenReason, NamesAreQuotedEscaped) {
    const std::string name = "/tmp/x\n\x1b[32mConnected", shown = "/tmp/x\\x0a\\x1b[32mConnected";
    const auto failure = [&](const std::string& port, bool alias, const std::string& untrusted) {
        OpenFailure f;
        f.port = port;
        f.device = name;
        f.error = alias ? EACCES : ENOENT;
        f.aliasUnreadable = alias;
        f.untrusted = untrusted;
        return f;
    };
    EXPECT_EQ(openFailureText(failure(name, false, "")), "Cannot open " + shown + ": no such device");
    EXPECT_EQ(openFailureText(failure("com1", false, "")), "Cannot open com1 (" + shown + "): no such device");
    EXPECT_EQ(openFailureText(failure("com1", true, "")),
              "Cannot open com1: its alias " + shown + " cannot be looked at: permission denied");
    EXPECT_EQ(openFailureText(failure("com1", true, "why")),
              "Cannot open com1: its alias " + shown + " is not used: why");
}
