// Which device a port name opens, and the input queue's ring.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "serial/commapi.h"
#include "serial/port_catalog.h"
#include "serial/portname.h"
#include "serial/posix/rx_queue.h"
#include "testkit/child_process.h"
#include "testkit/temp_dir.h"

namespace fs = std::filesystem;

class PortNames : public ::testing::Test {
protected:
    PortNames() { fs::create_directories(home_ / "vtconfig/ports"); }
    // What name opens, "refused: <errno>" when it opens nothing, "" for no port name.
    std::string resolvePortName(const std::string& name) const { return opens(name, home_); }
    static std::string opens(const std::string& name, const std::string& home) {
        const auto p = commapi::resolvePortName(name, home);
        if (!p) return "";
        return p->refused ? "refused: " + std::to_string(p->refused) : p->path;
    }
    vttest::TempDir dir_;
    fs::path home_ = dir_.path();
};

TEST_F(PortNames, PathIsUsedAsItIs) {
    EXPECT_EQ(resolvePortName("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(resolvePortName("./relative/tty"), "./relative/tty");
}

TEST_F(PortNames, ComWithoutAliasIsTheMatchingTtyS) {
    EXPECT_EQ(resolvePortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(resolvePortName("com12"), "/dev/ttyS11");
    EXPECT_EQ(resolvePortName("cOm3"), "/dev/ttyS2");
}

TEST_F(PortNames, AliasWinsAndIsFoundInAnyCase) {
    fs::create_symlink("/dev/null", home_ / "vtconfig/ports/com2");
    EXPECT_EQ(resolvePortName("COM2"), (home_ / "vtconfig/ports/com2").string());
    EXPECT_EQ(resolvePortName("com2"), (home_ / "vtconfig/ports/com2").string());
    EXPECT_EQ(resolvePortName("com3"), "/dev/ttyS2");
    EXPECT_EQ(commapi::portAliasPath("COM3", home_), (home_ / "vtconfig/ports/com3").string())
        << "where an alias is made, before it exists";
}

TEST_F(PortNames, AnythingElseNamesNoDevice) {
    for (const char* bad : {"", "COM", "COM0", "COM01", "COMx", "LPT1", "ttyS0", "COM1 ", "COM-1", "COM99999999"}) {
        EXPECT_EQ(resolvePortName(bad), "") << bad;
        EXPECT_FALSE(commapi::portAliasPath(bad, home_)) << bad;
    }
}

// Only an alias that is not there falls back to ttyS; one that cannot be looked at refuses the
// name with the reason, and a file in its place is opened (and refused as no terminal) as it is.
TEST_F(PortNames, AnAliasThatCannotBeLookedAtRefusesTheName) {
    fs::remove(home_ / "vtconfig/ports");
    vttest::writeBytes((home_ / "vtconfig/ports").string(), "not a folder");
    EXPECT_EQ(resolvePortName("com1"), "refused: " + std::to_string(ENOTDIR));
    fs::remove(home_ / "vtconfig/ports");
    fs::create_symlink("ports", home_ / "vtconfig/ports");  // a link loop
    EXPECT_EQ(resolvePortName("com1"), "refused: " + std::to_string(ELOOP));
    EXPECT_EQ(opens("com1", std::string(5000, 'x')), "refused: " + std::to_string(ENAMETOOLONG));
    EXPECT_EQ(opens("com1", (home_ / "absent/folder").string()), "/dev/ttyS0")
        << "a missing folder on the way is no alias";

    fs::remove(home_ / "vtconfig/ports");
    fs::create_directories(home_ / "vtconfig/ports/com2");
    const auto folder = commapi::resolvePortName("com2", home_);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path, (home_ / "vtconfig/ports/com2").string());
    EXPECT_FALSE(folder->alias) << "only a link is an alias";
}

// With no home named (configHome() is ""), a comN is refused, never looked for below "/" nor
// opened as ttyS, and no folder is made for it; a device path is still a device path.
TEST_F(PortNames, WithoutAHomeEveryComNIsRefused) {
    EXPECT_EQ(opens("com1", ""), "refused: " + std::to_string(commapi::kNoConfigHome));
    EXPECT_EQ(opens("/dev/pts/7", ""), "/dev/pts/7");
    EXPECT_EQ(opens("com0", ""), "");
    EXPECT_FALSE(commapi::portAliasPath("com1", ""));
    EXPECT_EQ(commapi::makePortAliasFolder(""), commapi::kNoConfigHome);
}

// Another user must not choose where root's comN leads. An alias is used only when the folders
// from the home down to it are root's (or the user's) alone, the alias is, and so is every link
// on its way; the reason names what is not, in the status log's line and in `vtctl ports`.
TEST(PortNamesOfAnotherUser, AnAliasTheyCouldChooseIsRefusedAndTheReasonSaysWhy) {
    if (::geteuid() != 0) GTEST_SKIP() << "playing another user against root needs root";
    const vttest::TempDir dir;
    const auto at = [&](const std::string& name) { return dir.file(name); };
    ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
    fs::create_directory(at("shared"));
    fs::permissions(at("shared"), fs::perms::all | fs::perms::sticky_bit);
    const auto planted = vttest::asOtherUser([&] {  // their config home, their home, their link
        fs::create_directories(at("shared/cfg/vtconfig/ports"));
        fs::create_symlink("/dev/null", at("shared/cfg/vtconfig/ports/com1"));
        fs::create_directory(at("shared/home"));
        fs::create_symlink("/dev/null", at("shared/tty"));
        return std::string("planted");
    });
    ASSERT_EQ(planted.value_or("no switch"), "planted");
    for (const char* home : {"mine", "open", "shared/home/.config"}) {
        fs::create_directories(at(std::string(home) + "/vtconfig/ports"));
        fs::create_symlink("/dev/null", at(std::string(home) + "/vtconfig/ports/com2"));
    }
    fs::create_symlink(at("shared/tty"), at("mine/vtconfig/ports/com1"));
    ASSERT_EQ(::lchown(at("mine/vtconfig/ports/com2").c_str(), vttest::kOtherUser, vttest::kOtherUser), 0);
    fs::create_symlink("/dev/null", at("mine/vtconfig/ports/com3"));
    fs::permissions(at("open/vtconfig/ports"), fs::perms::group_write, fs::perm_options::add);
    const std::string who = "user nobody", notFollowed = " is a link made by " + who + ", which is not followed";
    const char* const homeBefore = std::getenv("HOME");
    ::setenv("HOME", at("shared/home").c_str(), 1);
    const struct {
        std::string configHome, port, untrusted;
    } rows[] = {
        {at("shared/cfg"), "com1", "the folder " + at("shared/cfg") + " belongs to " + who},
        {at("shared/home/.config"), "com2", "the folder " + at("shared/home") + " belongs to " + who},
        {at("open"), "com2", "others may write to the folder " + at("open/vtconfig/ports")},
        {at("mine"), "com2", at("mine/vtconfig/ports/com2") + notFollowed},
        {at("mine"), "com1", at("shared/tty") + notFollowed},
        {at("mine"), "com3", ""},
    };
    for (const auto& row : rows) {
        const auto p = commapi::resolvePortName(row.port, row.configHome);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->untrusted, row.untrusted) << row.configHome << " " << row.port;
        EXPECT_EQ(p->refused != 0, !row.untrusted.empty()) << row.configHome << " " << row.port;
        EXPECT_EQ(p->device.entry.valid(), row.untrusted.empty()) << "what would be opened";
    }
    homeBefore ? ::setenv("HOME", homeBefore, 1) : ::unsetenv("HOME");
    const vttest::ConfigHome config;
    ::setenv("XDG_CONFIG_HOME", at("shared/cfg").c_str(), 1);
    const std::string said = "its alias " + at("shared/cfg/vtconfig/ports/com1") + " is not used: " + rows[0].untrusted;
    EXPECT_EQ(commapi::defaultLayer().createFile("com1"), nullptr);
    EXPECT_EQ(commapi::openFailureReason("com1", commapi::defaultLayer().lastError().error),
              "Cannot open com1: " + said);
    EXPECT_EQ(commapi::describeComPort("com1", {"/sys", "/dev", "/dev/serial/by-id", at("shared/cfg")}).line(),
              "com1: " + said);
}

TEST(RxQueue, KeepsOrderAcrossTheWrapAndRefusesOverflow) {
    commapi::RxQueue q(4);
    const std::uint8_t a[] = {1, 2, 3};
    EXPECT_EQ(q.push(a, 3), 3u);
    std::uint8_t out[8] = {};
    EXPECT_EQ(q.take(out, 2), 2u);
    const std::uint8_t b[] = {4, 5, 6, 7};
    EXPECT_EQ(q.push(b, 4), 3u);  // room for three only
    EXPECT_TRUE(q.full());
    EXPECT_EQ(q.take(out, 8), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 4), (std::vector<std::uint8_t>{3, 4, 5, 6}));
    EXPECT_EQ(q.size(), 0u);
}
