// The table kept between runs, decided without a window: where it lives, whether that place may
// be used, and whether a close may replace the file there without asking.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <optional>

#include "channels/kept_table.h"
#include "headerfile/header_text.h"
#include "testkit/child_process.h"
#include "testkit/temp_dir.h"

using channels::KeptTable;

namespace {

// The environment variable name set to value (unset for nullopt) while the object lives.
class Variable {
public:
    Variable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) before_ = old;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~Variable() { before_ ? ::setenv(name_, before_->c_str(), 1) : ::unsetenv(name_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

private:
    const char* name_;
    std::optional<std::string> before_;
};

const headerfile::ExportClock kClock{[] { return std::tm{}; }, "%Y", "%H"};

void putFile(const std::string& path, const char* date) {
    vttest::writeBytes(path, headerfile::headerFileBytes(planning::ChannelTable{}, date));
}

struct Decision {
    const char* what;
    std::function<void(const std::string& folder, KeptTable& kept)> run;  // the run so far
    bool replaceable;                                                     // without asking
    const char* noPlace;                                                  // how its text starts; "" for none
};

void PrintTo(const Decision& d, std::ostream* os) { *os << d.what; }

class KeptTableDecides : public ::testing::TestWithParam<Decision> {};

std::string decisionName(const ::testing::TestParamInfo<Decision>& param) {
    std::string name;
    for (const char c : std::string(param.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

}  // namespace

TEST_P(KeptTableDecides, WhetherToReplaceAskOrKeepNothing) {
    const vttest::TempDir dir;
    const Variable state("XDG_STATE_HOME", dir.path());
    const std::string folder = dir.file("vtconfig");
    KeptTable kept;
    ASSERT_EQ(KeptTable::folder(), folder);
    GetParam().run(folder, kept);
    const std::string why = kept.lookAtFolder();
    EXPECT_EQ(kept.replaceableWithoutAsking(), GetParam().replaceable);
    EXPECT_EQ(why.substr(0, std::string(GetParam().noPlace).size()), GetParam().noPlace) << why;
    EXPECT_EQ(why.empty(), *GetParam().noPlace == '\0') << why;
}

INSTANTIATE_TEST_SUITE_P(Runs, KeptTableDecides,
                         ::testing::Values(Decision{"nothing kept yet", [](const std::string&, KeptTable&) {}, true,
                                                    ""},
                                           Decision{"opened at the start, unchanged",
                                                    [](const std::string& folder, KeptTable& kept) {
                                                        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
                                                        putFile(KeptTable::path(), "//then");
                                                        ASSERT_EQ(kept.lookAtFolder(), "");
                                                        ASSERT_TRUE(kept.read());
                                                    },
                                                    true, ""},
                                           Decision{"there, but another header was opened",
                                                    [](const std::string& folder, KeptTable&) {
                                                        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
                                                        putFile(KeptTable::path(), "//then");
                                                    },
                                                    false, ""},
                                           Decision{"changed by another run since",
                                                    [](const std::string& folder, KeptTable& kept) {
                                                        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
                                                        putFile(KeptTable::path(), "//then");
                                                        ASSERT_EQ(kept.lookAtFolder(), "");
                                                        ASSERT_TRUE(kept.read());
                                                        putFile(KeptTable::path(), "//later on");
                                                    },
                                                    false, ""},
                                           Decision{"written by this window, folder made",
                                                    [](const std::string&, KeptTable& kept) {
                                                        ASSERT_EQ(kept.prepareFolder(), "");
                                                        kept.write(planning::ChannelTable{}, kClock);
                                                    },
                                                    true, ""},
                                           Decision{"a folder others may write to, empty",
                                                    [](const std::string& folder, KeptTable&) {
                                                        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
                                                        ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
                                                    },
                                                    true, "The channel table is not kept: "},
                                           Decision{"a folder others may write to, holding a table",
                                                    [](const std::string& folder, KeptTable&) {
                                                        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
                                                        putFile(KeptTable::path(), "//theirs");
                                                        ASSERT_EQ(::chmod(folder.c_str(), 0770), 0);
                                                    },
                                                    false, "The kept channel table is not opened: "}),
                         decisionName);

// The other user owns the folder above root's private one and exchanges their own folder for it
// between the look and the read, and between the look and the write at the close: the table is
// read from and written into root's folder all the same, and theirs is left alone.
TEST(KeptTableAgainstAnotherUser, AFolderExchangedAfterTheLookIsNeitherReadNorWritten) {
    if (::geteuid() != 0) GTEST_SKIP() << "playing another user against root needs root";
    const vttest::TempDir dir;
    const std::string above = dir.file("above"), mine = above + "/vtconfig", theirs = above + "/theirs";
    ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
    ASSERT_EQ(::mkdir(above.c_str(), 0755), 0);
    ASSERT_EQ(::chown(above.c_str(), vttest::kOtherUser, vttest::kOtherUser), 0);
    const Variable state("XDG_STATE_HOME", above);
    const auto table = [](const char* whose) {
        planning::ChannelTable t;
        t.set(0, {0x04000004, 0x06000018, 0x08AE147A, 0x13407FFE, 0}, whose);
        return headerfile::headerFileBytes(t, "//date");
    };
    ASSERT_EQ(::mkdir(mine.c_str(), 0700), 0);
    vttest::writeBytes(mine + "/last-channels.h", table("root's"));
    const auto exchange = [&] {
        return vttest::asOtherUser([&] {
            if (::mkdir(theirs.c_str(), 0700) == 0) vttest::writeBytes(theirs + "/last-channels.h", table("theirs"));
            return std::to_string(::renameat2(AT_FDCWD, mine.c_str(), AT_FDCWD, theirs.c_str(), RENAME_EXCHANGE));
        });
    };
    KeptTable kept;
    ASSERT_EQ(kept.lookAtFolder(), "");
    ASSERT_EQ(exchange(), "0");
    const auto read = kept.read();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->ChannelDescription[0], "root's");

    ASSERT_EQ(exchange(), "0");  // back: root's folder is vtconfig again at the close
    ASSERT_EQ(kept.prepareFolder(), "");
    ASSERT_EQ(exchange(), "0");
    EXPECT_TRUE(kept.replaceableWithoutAsking());
    kept.write(planning::ChannelTable{}, kClock);
    EXPECT_EQ(vttest::readWholeFile(mine + "/last-channels.h"), table("theirs"));
    EXPECT_EQ(vttest::readWholeFile(theirs + "/last-channels.h"), headerfile::headerFileBytes({}, kClock));
}

// The state home follows the XDG rule: a relative XDG_STATE_HOME is ignored, and a HOME that is
// no absolute path names no place.
TEST(KeptTablePlace, FollowsTheXdgRule) {
    struct Case {
        std::optional<std::string> xdg, home;
        std::string folder;
    } cases[] = {
        {"/abs/state", "/abs/home", "/abs/state/vtconfig"},
        {"rel/state", "/abs/home", "/abs/home/.local/state/vtconfig"},
        {"", "/abs/home", "/abs/home/.local/state/vtconfig"},
        {std::nullopt, "rel/home", ""},
        {"rel/state", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const Variable xdg("XDG_STATE_HOME", c.xdg), home("HOME", c.home);
        EXPECT_EQ(KeptTable::folder(), c.folder) << c.xdg.value_or("(unset)") << ", " << c.home.value_or("(unset)");
    }
}
