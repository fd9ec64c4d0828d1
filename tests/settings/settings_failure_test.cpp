// A save that cannot write stops with the operator's message and leaves the file on disk whole.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

#include "temp_dir.h"
#include "ui/settings/settings_file.h"

using settings::SettingsValues;
using testing_files::inPrivateTmpfs;
using testing_files::listing;
using testing_files::readBytes;
using testing_files::TempDir;
using testing_files::writeBytes;

namespace {

SettingsValues changed() {
    SettingsValues v;
    v.Edit1 = "55555";
    v.ScrollBar1 = 1;
    return v;
}

// What a failed save reports, run where the test can set the stage up: the message, then
// whether the old bytes are still there.
std::string saveReport(const std::string& path, const std::string& oldBytes) {
    std::string report;
    try {
        settings::save(path, changed());
        report = "saved";
    } catch (const settings::SaveError& e) {
        report = e.what();
    }
    report += readBytes(path) == oldBytes ? "|intact" : "|changed";
    return report;
}

TEST(SettingsSaveFailure, ReadOnlyFileStopsTheSaveAndStaysAsItWas) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    settings::save(path, SettingsValues{});
    const std::string before = readBytes(path);
    std::filesystem::permissions(path, std::filesystem::perms(0444));

    try {
        settings::save(path, changed());
        FAIL() << "save into a read-only file succeeded";
    } catch (const settings::SaveError& e) {
        EXPECT_STREQ(e.what(), (path + " に書き込めません").c_str());
        EXPECT_EQ(e.errnoValue, EACCES);
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(listing(dir.path()), "VTCONFIG.INI\n");  // no temporary left behind
}

// Nothing needs rewriting, yet the file is read-only: the close says so as any other save would.
TEST(SettingsSaveFailure, ReadOnlyFileIsReportedEvenWhenNothingChanged) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    settings::save(path, changed());
    const std::string before = readBytes(path);
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    EXPECT_THROW(settings::save(path, changed()), settings::SaveError);
    EXPECT_EQ(readBytes(path), before);
}

TEST(SettingsSaveFailure, AFileThatCannotBeReadIsNotOverwritten) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    std::filesystem::create_directory(path);  // exists, but is no file to read
    writeBytes(path + "/inside", "keep");
    EXPECT_THROW(settings::save(path, SettingsValues{}), settings::SaveError);
    EXPECT_EQ(readBytes(path + "/inside"), "keep");
    EXPECT_EQ(settings::load(path), SettingsValues{});
}

TEST(SettingsSaveFailure, AFileWithoutReadPermissionIsNotOverwritten) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    const auto report = testing_files::asUnprivileged(dir.path(), [&] {
        writeBytes(path, "[Other]\r\nfoo=bar\r\n");
        std::filesystem::permissions(path, std::filesystem::perms(0200));
        std::string text;
        try {
            settings::save(path, SettingsValues{});
            text = "saved";
        } catch (const settings::SaveError& e) {
            text = e.what();
        }
        std::filesystem::permissions(path, std::filesystem::perms(0600));
        return text + "|" + readBytes(path);
    });
    if (!report) GTEST_SKIP() << "cannot switch to an ordinary user";
    EXPECT_EQ(*report, path + " に書き込めません|[Other]\r\nfoo=bar\r\n");
}

TEST(SettingsSaveFailure, MissingDirectoryIsReported) {
    TempDir dir;
    const std::string path = dir.file("gone/VTCONFIG.INI");
    try {
        settings::save(path, SettingsValues{});
        FAIL() << "save into a missing directory succeeded";
    } catch (const settings::SaveError& e) {
        EXPECT_STREQ(e.what(), (path + " に書き込めません").c_str());
    }
}

TEST(SettingsSaveFailure, FullFilesystemLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    const auto report = inPrivateTmpfs(dir.path(), "size=64k,mode=0755", [&] {
        settings::save(path, SettingsValues{});
        const std::string before = readBytes(path);
        {
            std::ofstream filler(dir.file("filler"), std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) filler.flush();
        }
        return saveReport(path, before);
    });
    if (!report) GTEST_SKIP() << "needs root to mount a small tmpfs";
    EXPECT_EQ(*report, path + " に書き込めません|intact");
}

// Root writes into any directory, so it needs a read-only mount; anyone else a mode without 'w'.
TEST(SettingsSaveFailure, ReadOnlyDirectoryLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir.file("VTCONFIG.INI");
    const auto inReadOnlyDirectory = [&] {
        settings::save(path, SettingsValues{});
        const std::string before = readBytes(path);
        if (::geteuid() != 0)
            std::filesystem::permissions(dir.path(), std::filesystem::perms(0555));
        else if (::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return std::string("remount failed");
        return saveReport(path, before);
    };
    const auto report = ::geteuid() != 0 ? std::optional<std::string>(inReadOnlyDirectory())
                                         : inPrivateTmpfs(dir.path(), "size=64k,mode=0755", inReadOnlyDirectory);
    if (!report) GTEST_SKIP() << "cannot mount a read-only tmpfs here";
    EXPECT_EQ(*report, path + " に書き込めません|intact");
}

}  // namespace
