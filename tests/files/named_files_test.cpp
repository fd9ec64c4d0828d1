// Outputs that a command line names, where no tool shows it: nothing is ever made or replaced
// among the device nodes, however the name leads there. A private folder stands in for /dev.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <utility>

#include "files/atomic_file.h"
#include "files/named_files.h"
#include "testkit/child_process.h"
#include "testkit/temp_dir.h"

namespace {

TEST(NamedOutput, NothingIsMadeOrReplacedAmongTheDeviceNodes) {
    const vttest::TempDir dir;
    const std::string devices = dir.file("dev");
    ASSERT_EQ(::mkdir(devices.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((devices + "/shm").c_str(), 0755), 0);
    vttest::writeBytes(devices + "/regular", "as it was");
    ASSERT_EQ(::symlink((devices + "/new").c_str(), dir.file("into-dev").c_str()), 0);
    ASSERT_EQ(::symlink("regular", (devices + "/link").c_str()), 0);

    for (const std::string& name :
         {devices + "/new", devices + "/shm/new", devices + "/regular", dir.file("into-dev"), devices + "/link"})
        EXPECT_EQ(files::writeNamedOutput(name, "header", devices), EACCES) << name;
    EXPECT_EQ(vttest::listing(devices), "link\nregular\nshm\n");
    EXPECT_EQ(vttest::listing(devices + "/shm"), "");
    EXPECT_EQ(vttest::readWholeFile(devices + "/regular"), "as it was");

    // Beside the device folder the same names are ordinary files, also in a folder whose name
    // only begins with the device folder's.
    ASSERT_EQ(::mkdir((devices + "ices").c_str(), 0755), 0);
    for (const std::string& name : {dir.file("new"), devices + "ices/new"}) {
        EXPECT_EQ(files::writeNamedOutput(name, "header", devices), 0) << name;
        EXPECT_EQ(vttest::readWholeFile(name), "header");
    }
    EXPECT_EQ(files::writeNamedOutput(dir.path(), "header", devices), EISDIR);
}

// Where a name leads is decided after it is normalised: a descriptor of this process however
// spelt; a name as long as the folder takes is no name too long for the temporary file beside it.
TEST(NamedOutput, OwnDescriptorsHoweverSpeltAndTheLongestNames) {
    const vttest::TempDir dir;
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_NONBLOCK), 0);
    const std::string w = std::to_string(pipeFds[1]);
    for (const std::string& name : {"/dev/./fd/" + w, "/dev/fd/../fd/" + w, "/proc/self/../self/fd/" + w}) {
        EXPECT_EQ(files::writeNamedOutput(name, "header"), 0) << name;
        char buf[16] = {};
        EXPECT_EQ(::read(pipeFds[0], buf, sizeof buf), 6) << name;
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ASSERT_EQ(::mkdir(dir.file("cwd").c_str(), 0700), 0);
    {
        const vttest::CurrentDirectory cwd(dir.file("cwd"));
        EXPECT_EQ(files::writeNamedOutput("../up/../above", "header"), ENOENT) << "no folder up";
        EXPECT_EQ(files::writeNamedOutput(".././above", "header"), 0);
    }
    EXPECT_EQ(vttest::readWholeFile(dir.file("above")), "header");
    for (const std::size_t length : {250, 255}) {
        const std::string name = dir.file(std::string(length, 'h'));
        EXPECT_EQ(files::writeNamedOutput(name, "header"), 0) << length;
        EXPECT_EQ(vttest::readWholeFile(name), "header");
    }
}

// What the kernel's own walk refuses is refused: a name after one of this process's descriptors
// (ENOTDIR, with nothing written into it or read from it), a 41st link (ELOOP, where 40 are
// followed), and a block device, which is never written, however it is reached.
TEST(NamedFiles, WhatTheKernelWouldRefuseIsRefused) {
    const vttest::TempDir dir;
    int out[2], in[2];
    ASSERT_EQ(::pipe2(out, O_NONBLOCK), 0);
    ASSERT_EQ(::pipe2(in, O_NONBLOCK), 0);
    ASSERT_EQ(::write(in[1], "x", 1), 1);
    vttest::writeBytes(dir.file("target"), "as it was");
    for (int n = 1; n <= 41; ++n) {  // link n leads to n + 1: from link k, 42 - k links to the target
        const std::string next = n == 41 ? "target" : "l" + std::to_string(n + 1);
        ASSERT_EQ(::symlink(next.c_str(), dir.file("l" + std::to_string(n)).c_str()), 0);
    }
    const bool block = ::mknod(dir.file("blk").c_str(), S_IFBLK | 0600, makedev(240, 0)) == 0;  // no such device
    ASSERT_EQ(::symlink("blk", dir.file("to-blk").c_str()), 0);
    const std::string fd = "/dev/fd/";
    const struct {
        bool write;
        std::string name;
        int error;
    } rows[] = {
        {true, fd + std::to_string(out[1]) + "/../../x.h", ENOTDIR},
        {true, fd + std::to_string(out[1]) + "/", ENOTDIR},
        {false, fd + std::to_string(in[0]) + "/a/b.csv", ENOTDIR},
        {false, "/dev/stdin/a/b.csv", ENOTDIR},
        {false, dir.file("l2"), 0},
        {false, dir.file("l1"), ELOOP},
        {true, dir.file("l2"), 0},
        {true, dir.file("l1"), ELOOP},
        {true, dir.file("blk"), block ? EACCES : 0},
        {true, dir.file("to-blk"), block ? EACCES : 0},
    };
    for (const auto& row : rows) {
        std::string got;
        EXPECT_EQ(row.write ? files::writeNamedOutput(row.name, "header") : files::readNamedInput(row.name, got),
                  row.error)
            << row.name;
    }
    char buf[8];
    EXPECT_EQ(::read(out[0], buf, sizeof buf), -1) << "written into the descriptor";
    EXPECT_EQ(::read(in[0], buf, sizeof buf), 1) << "read from the descriptor";
    EXPECT_EQ(vttest::readWholeFile(dir.file("target")), "header");
    struct stat st {};
    if (block) {
        EXPECT_TRUE(::lstat(dir.file("blk").c_str(), &st) == 0 && S_ISBLK(st.st_mode) && st.st_rdev == makedev(240, 0));
    }
    for (const int p : {out[0], out[1], in[0], in[1]}) ::close(p);
}

// A signal that would end the program while the new file is written ends it once the file is in
// place, with no temporary file left.
TEST(NamedOutput, AStopSignalDuringAReplaceLeavesTheNewFileAndNoTemporary) {
    const vttest::TempDir dir;
    vttest::writeBytes(dir.file("OUT.h"), "old");
    vttest::ChildProcess child([&](const vttest::ChildProcess::Parent&) {
        return files::replaceFile(
            dir.file("OUT.h"),
            [](int fd) {
                ::raise(SIGTERM);
                return files::writeAll(fd, "new");
            },
            files::Links::Replace);
    });
    EXPECT_EQ(child.waitExit(), 128 + SIGTERM);
    EXPECT_EQ(vttest::listing(dir.path()), "OUT.h\n");
    EXPECT_EQ(vttest::readWholeFile(dir.file("OUT.h")), "new");
}

// Another user swaps names in a shared folder (sticky, like /tmp) while root writes and reads
// there: a FIFO and a link to root's own FIFO take turns under the output's name, a folder and
// a link to a root-only folder under a folder's name. Whichever is met, nothing reaches root's
// FIFO, root's file stays as it was and no read returns it.
TEST(NamedFiles, NamesSwappedByAnotherUserNeverLeadWhereTheirLinksPoint) {
    if (::geteuid() != 0) GTEST_SKIP() << "another user's swaps need root";
    const vttest::TempDir dir;
    const std::string shared = dir.file("shared"), secret = dir.file("secret");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(::mkdir(secret.c_str(), 0700), 0);
    vttest::writeBytes(secret + "/table.h", "root's own");
    ASSERT_EQ(::mkfifo((secret + "/fifo").c_str(), 0600), 0);
    const int victim = ::open((secret + "/fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(victim, 0);

    vttest::ChildProcess swapper([&](const vttest::ChildProcess::Parent& parent) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            return 1;
        const auto in = [&](const char* name) { return shared + "/" + name; };
        // Each pair of names takes turns: what one holds, the other holds next.
        const std::pair<std::string, std::string> turns[] = {{in("out"), in("out-link")}, {in("hdr"), in("hdr-link")}};
        if (::mkfifo(in("out").c_str(), 0666) != 0 ||
            ::symlink((secret + "/fifo").c_str(), in("out-link").c_str()) != 0 ||
            ::mkdir(in("hdr").c_str(), 0777) != 0 || ::symlink(secret.c_str(), in("hdr-link").c_str()) != 0)
            return 2;
        const int reader = ::open(in("out").c_str(), O_RDONLY | O_NONBLOCK);  // the FIFO has a reader
        parent.say("ready");
        for (unsigned n = 0;; ++n) {
            for (const auto& [a, b] : turns) ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
            pollfd letGo{parent.letGoFd, POLLIN, 0};
            if (n % 64 == 0 && ::poll(&letGo, 1, 0) != 0) break;
        }
        ::close(reader);
        return 0;
    });
    ASSERT_EQ(swapper.hear(5), "ready");
    constexpr int kRounds = 4000;
    int written = 0, readBack = 0, leaked = 0;
    for (int i = 0; i < kRounds; ++i) {
        written += files::writeNamedOutput(shared + "/out", "header") == 0;
        written += files::writeNamedOutput(shared + "/hdr/table.h", "header") == 0;
        written += files::replaceFile(shared + "/hdr/saved.h", "header", files::Links::Replace) == 0;  // Save…
        std::string got;
        if (files::readNamedInput(shared + "/hdr/table.h", got) == 0) ++(got == "header" ? readBack : leaked);
    }
    swapper.letGo();
    EXPECT_EQ(swapper.waitExit(), 0);
    char buf[64];
    EXPECT_EQ(::read(victim, buf, sizeof buf), 0) << "root's FIFO got a header";
    ::close(victim);
    EXPECT_EQ(leaked, 0) << "reads of root's file";
    EXPECT_EQ(vttest::readWholeFile(secret + "/table.h"), "root's own");
    EXPECT_EQ(vttest::listing(secret), "fifo\ntable.h\n") << "nothing made or replaced there";
    // Both kinds were met: what the swaps allowed went through.
    EXPECT_GT(written, 0);
    EXPECT_GT(readBack, 0);
}

}  // namespace
