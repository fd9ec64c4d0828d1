// What a disk does not show: the new settings reach the disk before they take the file's name,
// and a sync that fails leaves the old file and nothing else.
#include <gtest/gtest.h>

#include <cstring>

#include <unistd.h>
#include <cerrno>
#include <string>
#include <vector>

#include "files/errno_text.h"
#include "files/file_ops.h"
#include "settings/settings_file.h"
#include "testkit/temp_dir.h"

using vttest::listing;
using vttest::readWholeFile;
using vttest::TempDir;
using vttest::writeBytes;

namespace {

// The system's operations, each noted as it happens; fsync notes the bytes it makes durable and
// can be made to fail.
class NotedOps final : public files::FileOps {
public:
    NotedOps() : before_(files::setFileOps(this)) {}
    ~NotedOps() override { files::setFileOps(before_); }

    int fsync(int fd) override {
        std::string bytes(4096, '\0');
        const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        noted.push_back("fsync " + bytes);
        return failFsync ? EIO : FileOps::fsync(fd);
    }
    int close(int fd) override {
        noted.push_back("close");
        return FileOps::close(fd);
    }
    int rename(int folder, const std::string& from, const std::string& to) override {
        noted.push_back("rename");
        return FileOps::rename(folder, from, to);
    }
    void syncDirectory(int folder) override {
        noted.push_back("sync directory");
        FileOps::syncDirectory(folder);
    }

    std::vector<std::string> noted;
    bool failFsync = false;

private:
    files::FileOps* before_;
};

settings::SettingsValues changedValues() {
    settings::SettingsValues v;
    v.localOutput = "55555";
    return v;
}

TEST(DurableSave, TheNewBytesAreSyncedBeforeTheRenameAndTheDirectoryAfterIt) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    NotedOps ops;
    settings::save(path, changedValues());
    EXPECT_EQ(ops.noted,
              (std::vector<std::string>{"fsync " + readWholeFile(path), "close", "rename", "sync directory"}));
}

TEST(DurableSave, AFailingSyncLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    writeBytes(path, "[Frequency]\r\nLocalOutput=1\r\n");
    NotedOps ops;
    ops.failFsync = true;
    try {
        settings::save(path, changedValues());
        FAIL() << "a save whose sync failed succeeded";
    } catch (const settings::SaveError& e) {
        EXPECT_EQ(e.errnoValue, EIO);
    }
    EXPECT_EQ(readWholeFile(path), "[Frequency]\r\nLocalOutput=1\r\n");
    EXPECT_EQ(listing(dir.path()), "VTCONFIG.INI\n");
}

}  // namespace

// An errno the message table does not name keeps its own number, with the system's text for it:
// EIO (5) is no refused access and ENETUNREACH (101) no full disk. A file beyond the read limit
// is told so, with the limit.
TEST(IoErrorText, AnErrnoTheTableDoesNotNameIsShownByItsNumberAndTheSystemsText) {
    EXPECT_EQ(files::windowErrnoText(EIO), std::string("I/O エラー (5): ") + std::strerror(EIO));
    EXPECT_EQ(files::windowErrnoText(ENETUNREACH), std::string("I/O エラー (101): ") + std::strerror(ENETUNREACH));
    EXPECT_EQ(files::windowErrnoText(ENOTDIR), std::string("I/O エラー (20): ") + std::strerror(ENOTDIR));
    EXPECT_EQ(files::windowErrnoText(EACCES), "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(files::windowErrnoText(ENOSPC), "ディスクがいっぱいです");
    EXPECT_EQ(files::windowErrnoText(EFBIG), "the file is larger than 64 MiB, the most that is read");
}
