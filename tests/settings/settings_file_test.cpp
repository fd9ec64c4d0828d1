// Loading and saving VTCONFIG.INI: defaults, the integer rule, control ranges, the bytes on disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "settings/settings_file.h"
#include "tests/settings/settings_dir.h"

using settings::SettingsValues;
using vttest::listing;
using vttest::readWholeFile;
using vttest::writeBytes;

namespace {

const char* const kDefaultsOnDisk =
    "[Frequency]\r\nLocalOutput=12340\r\nMultiplier=100\r\nstd=10\r\nRDIV=2\r\n"
    "[rs232c1]\r\nportname=0\r\nBAUD=0\r\n"
    "[Memory]\r\nChannel=0\r\n"
    "[Vantorix]\r\nVersion=0\r\n"
    "[PD]\r\nUpGain=127\r\nDnGain=127\r\nOffset=0\r\n"
    "[SD]\r\nseed=2\r\nMode=3\r\nfrac_rstb=1\r\nfrac_bypass=0\r\n";

// Counts the opens of a name in a directory and the renames onto it.
class DirectoryWatch {
public:
    explicit DirectoryWatch(const std::string& dir) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ < 0 || ::inotify_add_watch(fd_, dir.c_str(), IN_OPEN | IN_MOVED_TO) < 0)
            throw std::runtime_error("inotify");
    }
    ~DirectoryWatch() { ::close(fd_); }
    // "<opens> opens, <renames> renames" of name since the last call.
    std::string take(const std::string& name) {
        int opens = 0, renames = 0;
        alignas(inotify_event) char buf[4096];
        for (ssize_t n; (n = ::read(fd_, buf, sizeof buf)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                if (e->len > 0 && name == e->name) {
                    opens += (e->mask & IN_OPEN) != 0;
                    renames += (e->mask & IN_MOVED_TO) != 0;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return std::to_string(opens) + " opens, " + std::to_string(renames) + " renames";
    }

private:
    int fd_;
};

class SettingsFile : public SettingsDir {
protected:
    SettingsValues loadFrom(const std::string& bytes) {
        writeBytes(path, bytes);
        return settings::load(path);
    }
};

TEST_F(SettingsFile, PathIsTheCurrentDirectoryAndTheUpperCaseName) {
    char before[PATH_MAX];
    ASSERT_NE(::getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    const std::string path_ = settings::settingsPath();
    ASSERT_EQ(::chdir(before), 0);
    EXPECT_EQ(path_, std::filesystem::canonical(dir.path()).string() + "/VTCONFIG.INI");
}

TEST_F(SettingsFile, FirstStartWithoutAFileGivesDefaultsAndCreatesNothing) {
    const SettingsValues v = settings::load(path);
    EXPECT_EQ(v.portIndex, 0);
    EXPECT_EQ(v.baudIndex, 0);
    EXPECT_EQ(v.channel, 0);
    EXPECT_EQ(v.localOutput, "12340");
    EXPECT_EQ(v.multiplier, "100");
    EXPECT_EQ(v.std, "10");
    EXPECT_EQ(v.r, "2");
    EXPECT_EQ(v.upCurrent, 127);
    EXPECT_EQ(v.downCurrent, 127);
    EXPECT_EQ(v.offsetCurrent, 0);
    EXPECT_EQ(v.seed, 2);
    EXPECT_EQ(v.mode, 3);
    EXPECT_EQ(v.fracRstb, 1);
    EXPECT_EQ(v.fracBypass, 0);
    EXPECT_EQ(listing(dir.path()), "");
}

TEST_F(SettingsFile, PortAndBaudAreListPositions) {
    const SettingsValues v = loadFrom("[rs232c1]\r\nportname=3\r\nBAUD=1\r\n");
    EXPECT_EQ(v.portIndex, 3);
    EXPECT_EQ(v.baudIndex, 1);
}

TEST_F(SettingsFile, IntegerKeysFollowTheWholeNumberRule) {
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=0x20\r\n").upCurrent, 32);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=0X1f\r\n").upCurrent, 31);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=$10\r\n").upCurrent, 16);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=x11\r\n").upCurrent, 17);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=X12\r\n").upCurrent, 18);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=+9\r\n").upCurrent, 9);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain='40'\r\n").upCurrent, 40);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=\" 41\"\r\n").upCurrent, 41);
    EXPECT_EQ(loadFrom("[SD]\r\nMode=-0x1\r\n").mode, -1);
}

TEST_F(SettingsFile, UnusableIntegerTextGivesTheKeysDefault) {
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=abc\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=12abc\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=0x\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=1.5\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain='5 '\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nOffset=2147483648\r\n").offsetCurrent, 0);
    EXPECT_EQ(loadFrom("[SD]\r\nseed=0x80000000\r\n").seed, 2);
    EXPECT_EQ(loadFrom("[rs232c1]\r\nportname=com4\r\n").portIndex, 0);
}

TEST_F(SettingsFile, ScrollBarPositionsAreLimitedTo0Through127) {
    EXPECT_EQ(loadFrom("[PD]\r\nUpGain=500\r\n").upCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nDnGain=128\r\n").downCurrent, 127);
    EXPECT_EQ(loadFrom("[PD]\r\nOffset=-5\r\n").offsetCurrent, 0);
    EXPECT_EQ(loadFrom("[PD]\r\nOffset=-2147483648\r\n").offsetCurrent, 0);
    EXPECT_EQ(loadFrom("[PD]\r\nOffset=127\r\n").offsetCurrent, 127);
}

TEST_F(SettingsFile, RadioIndexesBeyondTheListTakeTheNearestEnd) {
    EXPECT_EQ(loadFrom("[Memory]\r\nChannel=12\r\n").channel, 7);
    EXPECT_EQ(loadFrom("[Memory]\r\nChannel=-1\r\n").channel, -1);
    EXPECT_EQ(loadFrom("[Memory]\r\nChannel=-7\r\n").channel, -1);
    EXPECT_EQ(loadFrom("[Memory]\r\nChannel=7\r\n").channel, 7);
    const SettingsValues v = loadFrom("[SD]\r\nseed=4\r\nMode=99\r\nfrac_rstb=2\r\nfrac_bypass=-3\r\n");
    EXPECT_EQ(v.seed, 3);
    EXPECT_EQ(v.mode, 3);
    EXPECT_EQ(v.fracRstb, 1);
    EXPECT_EQ(v.fracBypass, -1);
}

TEST_F(SettingsFile, ComboIndexesOutsideTheListSelectNothing) {
    EXPECT_EQ(loadFrom("[rs232c1]\r\nportname=12\r\n").portIndex, -1);
    EXPECT_EQ(loadFrom("[rs232c1]\r\nportname=11\r\n").portIndex, 11);
    EXPECT_EQ(loadFrom("[rs232c1]\r\nportname=-2\r\n").portIndex, -1);
    EXPECT_EQ(loadFrom("[rs232c1]\r\nBAUD=2\r\n").baudIndex, -1);
}

TEST_F(SettingsFile, TextKeysAreTakenAsStoredAndConvertedFromCodePage932) {
    const SettingsValues v =
        loadFrom("[frequency]\nlocaloutput=  1.5e3  \nMultiplier=\nSTD=\x83\x5C\x81\x5B\x83\x58\nRDIV='2 '\n");
    EXPECT_EQ(v.localOutput, "1.5e3");
    EXPECT_EQ(v.multiplier, "");  // present but empty: not the default
    EXPECT_EQ(v.std, "ソース");
    EXPECT_EQ(v.r, "2 ");
}

TEST_F(SettingsFile, SaveOnAFreshFileWritesSectionsInFirstWriteOrder) {
    settings::save(path, SettingsValues{});
    EXPECT_EQ(readWholeFile(path), kDefaultsOnDisk);
    EXPECT_EQ(listing(dir.path()), "VTCONFIG.INI\n");
}

TEST_F(SettingsFile, SaveWritesTextsInCodePage932AndIndexesInDecimal) {
    SettingsValues v;
    v.localOutput = "ソース";
    v.portIndex = -1;
    v.channel = -1;
    v.offsetCurrent = 100;
    settings::save(path, v);
    const std::string bytes = readWholeFile(path);
    EXPECT_NE(bytes.find("\r\nLocalOutput=\x83\x5C\x81\x5B\x83\x58\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nportname=-1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nChannel=-1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nOffset=100\r\n"), std::string::npos);
}

TEST_F(SettingsFile, SaveReplacesKeysInPlaceAndKeepsEverythingElse) {
    writeBytes(path,
               "; vtconfig\n[PD]\nupgain = 5\nExtra=keep me\n\n[Frequency]\nLocalOutput=1\n"
               "[Other]\nfoo=bar\n[Vantorix]\nVersion=7\n");
    SettingsValues v;
    v.upCurrent = 64;
    settings::save(path, v);
    EXPECT_EQ(readWholeFile(path),
              "; vtconfig\r\n[PD]\r\nupgain=64\r\nExtra=keep me\r\nDnGain=127\r\nOffset=0\r\n\r\n"
              "[Frequency]\r\nLocalOutput=12340\r\nMultiplier=100\r\nstd=10\r\nRDIV=2\r\n"
              "[Other]\r\nfoo=bar\r\n[Vantorix]\r\nVersion=0\r\n"
              "[rs232c1]\r\nportname=0\r\nBAUD=0\r\n[Memory]\r\nChannel=0\r\n"
              "[SD]\r\nseed=2\r\nMode=3\r\nfrac_rstb=1\r\nfrac_bypass=0\r\n");
}

// The replacement is a new file: it must not open a private file up to the umask's mode.
TEST_F(SettingsFile, SaveKeepsAPrivateFilePrivate) {
    writeBytes(path, kDefaultsOnDisk);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    SettingsValues v;
    v.localOutput = "1";
    settings::save(path, v);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_NE(readWholeFile(path).find("LocalOutput=1\r\n"), std::string::npos);
}

// A file of many lines took minutes when every key read and wrote the whole file again.
TEST_F(SettingsFile, LoadReadsTheFileOnceAndSaveReplacesItOnce) {
    writeBytes(path, kDefaultsOnDisk);
    DirectoryWatch watch(dir.path());
    const SettingsValues loaded = settings::load(path);
    EXPECT_EQ(watch.take("VTCONFIG.INI"), "1 opens, 0 renames");
    SettingsValues v = loaded;
    v.localOutput = "1";
    v.offsetCurrent = 9;
    settings::save(path, v);
    EXPECT_EQ(watch.take("VTCONFIG.INI").substr(9), "1 renames");
    EXPECT_EQ(settings::load(path), v);
}

TEST_F(SettingsFile, AByteOrderMarkIsNoPartOfTheFirstLineAndStaysInFront) {
    const std::string bom = "\xEF\xBB\xBF";
    const SettingsValues v = loadFrom(bom + "[Frequency]\r\nLocalOutput=555\r\n");
    EXPECT_EQ(v.localOutput, "555");
    settings::save(path, v);
    std::string expected = bom + kDefaultsOnDisk;
    expected.replace(expected.find("=12340"), 6, "=555");
    EXPECT_EQ(readWholeFile(path), expected);
}

TEST_F(SettingsFile, SavedValuesLoadBack) {
    SettingsValues v;
    v.portIndex = 3;
    v.baudIndex = 1;
    v.channel = 5;
    v.localOutput = "9876.5";
    v.multiplier = "ソース";
    v.std = "";
    v.r = "4";
    v.upCurrent = 1;
    v.downCurrent = 2;
    v.offsetCurrent = 3;
    v.seed = 0;
    v.mode = 2;
    v.fracRstb = 0;
    v.fracBypass = 1;
    settings::save(path, v);
    EXPECT_EQ(settings::load(path), v);
    settings::save(path, v);  // a second save changes nothing
    EXPECT_EQ(settings::load(path), v);
}

// Another editor changed the file while the window was open: the save starts from what is there
// now, so nothing is spliced in at the old file's offsets.
TEST_F(SettingsFile, ASaveAfterAnotherEditorsChangeStartsFromTheFileAsItIsNow) {
    writeBytes(path, kDefaultsOnDisk);
    settings::SettingsFile file(path);
    const std::string edited = std::string("; by hand\r\n[Other]\r\nfoo=bar\r\n") + kDefaultsOnDisk;
    writeBytes(path, edited);
    SettingsValues v = file.values();
    v.upCurrent = 5;
    file.save(v);
    std::string expected = edited;
    expected.replace(expected.find("UpGain=127"), 10, "UpGain=5");
    EXPECT_EQ(readWholeFile(path), expected);
}

// Longer than the read buffer (256 KiB) and not one repeated byte, so a shifted copy shows: a
// CR LF file is copied by the kernel, an LF file through the buffer.
TEST_F(SettingsFile, ALineLongerThanTheReadBufferLoadsAndSavesIntact) {
    std::string note = "Note=";
    for (std::size_t i = 0; i < (std::size_t{600} << 10); ++i) note += static_cast<char>('a' + i % 23);
    for (const std::string eol : {"\r\n", "\n"}) {
        writeBytes(path, "[Frequency]" + eol + note + eol + "LocalOutput=555" + eol);
        settings::SettingsFile file(path);
        SettingsValues v = file.values();
        EXPECT_EQ(v.localOutput, "555");
        v.multiplier = "7";
        file.save(v);
        const std::string after = readWholeFile(path);
        EXPECT_TRUE(after.starts_with("[Frequency]\r\n" + note + "\r\nLocalOutput=555\r\nMultiplier=7\r\n"))
            << "line ends " << eol.size() << ", file of " << after.size() << " bytes";
    }
}

// Same inode, same modification time; an LF file is no such case, it comes out CR LF.
TEST_F(SettingsFile, ASaveThatChangesNoByteLeavesTheFileAlone) {
    const auto stamp = [&] {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return std::to_string(st.st_ino) + "@" + std::to_string(st.st_mtim.tv_sec);
    };
    writeBytes(path, kDefaultsOnDisk);
    const struct timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), longAgo, 0), 0);
    const std::string before = stamp();
    settings::save(path, settings::load(path));
    EXPECT_EQ(stamp(), before);

    std::string lf = kDefaultsOnDisk;
    for (std::size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    writeBytes(path, lf);
    settings::save(path, settings::load(path));
    EXPECT_EQ(readWholeFile(path), kDefaultsOnDisk);
}

}  // namespace

// The one key of our own: a file that never had it stays byte for byte the original's until the
// box is ticked; from then on the key stays, after every original section.
TEST_F(SettingsFile, TheReopenChoiceIsAppendedInASectionOfItsOwnOnceTicked) {
    settings::SettingsFile file(path);  // one window: a close that stopped, then another
    SettingsValues v;
    file.save(v);
    EXPECT_EQ(readWholeFile(path), kDefaultsOnDisk);
    v.reopenTable = 1;
    file.save(v);
    EXPECT_EQ(readWholeFile(path), std::string(kDefaultsOnDisk) + "[vtconfig]\r\nReopenTable=1\r\n");
    v.reopenTable = 0;
    file.save(v);
    EXPECT_EQ(readWholeFile(path), std::string(kDefaultsOnDisk) + "[vtconfig]\r\nReopenTable=0\r\n");
    EXPECT_EQ(settings::load(path).reopenTable, 0);
    EXPECT_EQ(loadFrom("[VTCONFIG]\r\nreopentable=7\r\n").reopenTable, 1);
    EXPECT_EQ(loadFrom("[vtconfig]\r\nReopenTable=yes\r\n").reopenTable, 0);
}

// Our own keys: a value the program cannot read (below 0, beyond 32 bits, no number) gives the
// default, and a line whose value the window did not change goes back as it was; once changed,
// it is written in decimal.
TEST_F(SettingsFile, AnUnreadableValueOfOurKeysGivesTheDefaultAndKeepsItsLine) {
    const std::vector<std::tuple<std::string, int SettingsValues::*, int>> cases = {
        {"SpurWarnHz=-5", &SettingsValues::spurWarnHz, 1000000},
        {"SpurWarnHz=1e309", &SettingsValues::spurWarnHz, 1000000},
        {"SpurWarnHz=nan", &SettingsValues::spurWarnHz, 1000000},
        {"SpurWarnHz=0x20", &SettingsValues::spurWarnHz, 32},
        {"ReopenTable=yes", &SettingsValues::reopenTable, 0},
    };
    for (const auto& [line, field, value] : cases) {
        const std::string file = std::string(kDefaultsOnDisk) + "[vtconfig]\r\n" + line + "\r\n";
        SettingsValues v = loadFrom(file);
        EXPECT_EQ(v.*field, value) << line;
        settings::save(path, v);
        EXPECT_EQ(readWholeFile(path), file) << line;
        v.*field = 1;
        settings::save(path, v);
        EXPECT_EQ(readWholeFile(path),
                  std::string(kDefaultsOnDisk) + "[vtconfig]\r\n" + line.substr(0, line.find('=')) + "=1\r\n");
    }
}
