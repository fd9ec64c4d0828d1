// Why a port did not open, one reason each, on pseudo-terminals and files: the line the status
// log and vtctl show.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

#include "pty_peer.h"
#include "serial/commapi.h"
#include "serial/posix/open_reason.h"
#include "testkit/child_process.h"
#include "testkit/port_holder.h"
#include "testkit/temp_dir.h"

using namespace commapi;

namespace {

std::string reasonFor(const std::string& port) {
    if (defaultLayer().createFile(port)) return "opened";
    return openFailureReason(port, defaultLayer().lastError());
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
// may read and write the device.
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
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
        EXPECT_EQ(reasonForNobody(path), "Cannot open " + path + ": permission denied");
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

TEST(OpenReason, ARegularFileIsNotASerialDevice) {
    vttest::TempDir dir;
    vttest::writeBytes(dir.file("notes"), "x");
    EXPECT_EQ(reasonFor(dir.file("notes")), "Cannot open " + dir.file("notes") + ": not a serial device");
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
