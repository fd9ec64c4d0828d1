// A save that cannot write stops with the operator's message and leaves the file on disk whole.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/settings_file.h"
#include "tests/settings/settings_dir.h"

using settings::SettingsValues;
using vttest::inPrivateTmpfs;
using vttest::listing;
using vttest::readWholeFile;
using vttest::writeBytes;

namespace {

SettingsValues changed() {
    SettingsValues v;
    v.localOutput = "55555";
    v.upCurrent = 1;
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
    report += readWholeFile(path) == oldBytes ? "|intact" : "|changed";
    return report;
}

using SettingsSaveFailure = SettingsDir;

TEST_F(SettingsSaveFailure, ReadOnlyFileStopsTheSaveAndStaysAsItWas) {
    settings::save(path, SettingsValues{});
    const std::string before = readWholeFile(path);
    std::filesystem::permissions(path, std::filesystem::perms(0444));

    try {
        settings::save(path, changed());
        FAIL() << "save into a read-only file succeeded";
    } catch (const settings::SaveError& e) {
        EXPECT_STREQ(e.what(), (path + " に書き込めません").c_str());
        EXPECT_EQ(e.errnoValue, EACCES);
    }
    EXPECT_EQ(readWholeFile(path), before);
    EXPECT_EQ(listing(dir.path()), "VTCONFIG.INI\n");  // no temporary left behind
}

// Nothing needs rewriting, yet the file is read-only: the close says so as any other save would.
TEST_F(SettingsSaveFailure, ReadOnlyFileIsReportedEvenWhenNothingChanged) {
    settings::save(path, changed());
    const std::string before = readWholeFile(path);
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    EXPECT_THROW(settings::save(path, changed()), settings::SaveError);
    EXPECT_EQ(readWholeFile(path), before);
}

TEST_F(SettingsSaveFailure, AFileThatCannotBeReadIsNotOverwritten) {
    std::filesystem::create_directory(path);  // exists, but is no file to read
    writeBytes(path + "/inside", "keep");
    EXPECT_THROW(settings::save(path, SettingsValues{}), settings::SaveError);
    EXPECT_EQ(readWholeFile(path + "/inside"), "keep");
    EXPECT_EQ(settings::load(path), SettingsValues{});
}

TEST_F(SettingsSaveFailure, AFileWithoutReadPermissionIsNotOverwritten) {
    const auto report = vttest::asUnprivileged(dir.path(), [&] {
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
        return text + "|" + readWholeFile(path);
    });
    if (!report) GTEST_SKIP() << "cannot switch to an ordinary user";
    EXPECT_EQ(*report, path + " に書き込めません|[Other]\r\nfoo=bar\r\n");
}

TEST_F(SettingsSaveFailure, MissingDirectoryIsReported) {
    path = dir.file("gone/VTCONFIG.INI");
    try {
        settings::save(path, SettingsValues{});
        FAIL() << "save into a missing directory succeeded";
    } catch (const settings::SaveError& e) {
        EXPECT_STREQ(e.what(), (path + " に書き込めません").c_str());
    }
}

TEST_F(SettingsSaveFailure, FullFilesystemLeavesTheOldFileIntact) {
    const auto report = inPrivateTmpfs(dir.path(), "size=64k,mode=0755", [&] {
        settings::save(path, SettingsValues{});
        const std::string before = readWholeFile(path);
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
TEST_F(SettingsSaveFailure, ReadOnlyDirectoryLeavesTheOldFileIntact) {
    const auto inReadOnlyDirectory = [&] {
        settings::save(path, SettingsValues{});
        const std::string before = readWholeFile(path);
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
