// A VTCONFIG.INI that the program did not make: links to devices, FIFOs and other users' files,
// files of other owners, huge files. The load gives the defaults without hanging, the save
// refuses with the operator's message and nothing on disk changes hands or content.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "settings/settings_file.h"
#include "tests/settings/settings_dir.h"

using settings::SettingsValues;
using vttest::readWholeFile;
using vttest::writeBytes;

namespace {

constexpr uid_t kNobody = 65534;

SettingsValues oneChange() {
    SettingsValues v;
    v.localOutput = "55555";
    return v;
}

// The message of a save, or "saved".
std::string saveReport(const std::string& path) {
    try {
        settings::save(path, oneChange());
        return "saved";
    } catch (const settings::SaveError& e) {
        return e.what();
    }
}

struct stat lstatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// A character device of our own with the numbers of /dev/null; false when this user may not make one.
bool makeNullDevice(const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }

// Opens a FIFO for writing while somebody waits on it for more than a second, so that a reader
// stuck in open() comes free; tells afterwards whether it had to.
class FifoRescue {
public:
    explicit FifoRescue(std::string path) : path_(std::move(path)), thread_([this] { run(); }) {}
    ~FifoRescue() {
        done_ = true;
        thread_.join();
    }
    bool rescued() const { return rescued_; }

private:
    void run() {
        const auto start = std::chrono::steady_clock::now();
        while (!done_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) continue;
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                rescued_ = true;
                ::close(fd);
            }
        }
    }
    std::string path_;
    std::atomic<bool> done_{false}, rescued_{false};
    std::thread thread_;
};

using HostileSettingsFile = SettingsDir;

TEST_F(HostileSettingsFile, NoRegularFileGivesTheDefaultsAndIsNeverReplaced) {
    const std::string expected = path + " に書き込めません";

    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    {
        FifoRescue rescue(path);
        EXPECT_EQ(settings::load(path), SettingsValues{});
        EXPECT_EQ(saveReport(path), expected);
        EXPECT_FALSE(rescue.rescued()) << "the load or the save waited in open() on a FIFO";
    }
    EXPECT_TRUE(S_ISFIFO(lstatOf(path).st_mode));
    ::unlink(path.c_str());

    // Larger than anything a settings file holds; sparse, so it costs no disk.
    writeBytes(path, "[Frequency]\r\nLocalOutput=1\r\n");
    std::filesystem::resize_file(path, (std::uintmax_t{64} << 20) + 1);
    EXPECT_EQ(settings::load(path), SettingsValues{});
    EXPECT_EQ(saveReport(path), expected);
    EXPECT_EQ(lstatOf(path).st_size, (off_t{64} << 20) + 1);
    ::unlink(path.c_str());

    if (!makeNullDevice(path)) GTEST_SKIP() << "cannot make a device node here";
    EXPECT_EQ(settings::load(path), SettingsValues{});
    EXPECT_EQ(saveReport(path), expected);
    EXPECT_TRUE(S_ISCHR(lstatOf(path).st_mode));
}

TEST_F(HostileSettingsFile, ALinkToADeviceOrAFifoIsNeverWrittenThrough) {
    const std::string expected = path + " に書き込めません";

    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("fifo", path.c_str()), 0);
    {
        FifoRescue rescue(dir.file("fifo"));
        EXPECT_EQ(saveReport(path), expected);
        EXPECT_FALSE(rescue.rescued());
    }
    EXPECT_TRUE(S_ISFIFO(lstatOf(dir.file("fifo")).st_mode));
    EXPECT_TRUE(S_ISLNK(lstatOf(path).st_mode));
    ::unlink(path.c_str());

    if (!makeNullDevice(dir.file("null"))) GTEST_SKIP() << "cannot make a device node here";
    ASSERT_EQ(::symlink("null", path.c_str()), 0);
    EXPECT_EQ(saveReport(path), expected);
    const struct stat node = lstatOf(dir.file("null"));
    EXPECT_TRUE(S_ISCHR(node.st_mode));
    EXPECT_EQ(node.st_rdev, makedev(1, 3));
    EXPECT_TRUE(S_ISLNK(lstatOf(path).st_mode));
}

// A link is followed only when it belongs to the running user or to root: not another user's,
// not even in a directory of theirs (theirs to fill with links, inside a shared folder too).
TEST_F(HostileSettingsFile, ALinkOfAnotherUserIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
    const std::string victim = dir.file("victim.ini");
    const std::string secret = "[Frequency]\r\nLocalOutput=999\r\n";
    writeBytes(victim, secret);
    ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("victim.ini", path.c_str()), 0);
    ASSERT_EQ(::lchown(path.c_str(), kNobody, kNobody), 0);

    for (const uid_t folderOwner : {0u, kNobody}) {
        ASSERT_EQ(::chown(dir.path().c_str(), folderOwner, folderOwner), 0);
        EXPECT_EQ(settings::load(path).localOutput, "12340");
        EXPECT_EQ(saveReport(path), path + " に書き込めません: a link made by another user, which is not followed");
        EXPECT_EQ(readWholeFile(victim), secret);
        EXPECT_EQ(lstatOf(victim).st_uid, 0u);
        EXPECT_TRUE(S_ISLNK(lstatOf(path).st_mode));
    }
}

// The directory is his, so the rename would go through: only the write-access check stops an
// ordinary user, for a save with changes and for one without.
TEST_F(HostileSettingsFile, AnOrdinaryUserMayNotReplaceAnotherUsersFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "planting another user's file needs root";
    const std::string rootsFile = "[Frequency]\r\nLocalOutput=1\r\n";
    writeBytes(path, rootsFile);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    const auto report = vttest::asUnprivileged(dir.path(), [&] {
        std::string unchanged = "saved";
        try {
            settings::save(path, settings::load(path));
        } catch (const settings::SaveError& e) {
            unchanged = e.what();
        }
        return saveReport(path) + "|" + unchanged;
    });
    ASSERT_TRUE(report) << "cannot switch to an ordinary user";
    EXPECT_EQ(*report, path + " に書き込めません|" + path + " に書き込めません");
    EXPECT_EQ(readWholeFile(path), rootsFile);
    EXPECT_EQ(lstatOf(path).st_uid, 0u);
}

TEST_F(HostileSettingsFile, ASaveKeepsTheFilesOwnerAndModeWithoutSetIdBits) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    writeBytes(path, "[Frequency]\r\nLocalOutput=1\r\n");
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(saveReport(path), "saved");
    struct stat st = lstatOf(path);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    ASSERT_EQ(::chmod(path.c_str(), 06754), 0);
    SettingsValues v = oneChange();
    v.upCurrent = 5;  // something to write
    settings::save(path, v);
    st = lstatOf(path);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0754u);
}

}  // namespace
