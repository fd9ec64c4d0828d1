// Another local user against root's files, in a sticky folder everybody may write to and in one
// their group may write to: links in a folder of their own there, files of theirs under the
// names root writes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>

#include "files/atomic_file.h"
#include "files/errno_text.h"
#include "files/named_files.h"
#include "testkit/child_process.h"
#include "testkit/temp_dir.h"

namespace {

using vttest::kOtherUser;

enum class Call { Write, Read, Replace };  // a named output, a named input, the window's export

struct Attempt {
    Call call;
    std::string name;  // below the test's folder
    int error;
    std::string said;  // what the tools say (the window, for Replace); "" for success
};

// <dir>/secret is root's alone and holds t.h; in <dir>/shared (sticky, everybody's) and
// <dir>/group (the other user's group may write to it) that user has a folder of their own,
// ndir, with links to root's file (out.h) and folder (sub), and a file of their own, theirs.h.
class OtherUser : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "playing another user against root needs root";
        ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
        ASSERT_EQ(::mkdir(at("secret").c_str(), 0700), 0);
        vttest::writeBytes(at("secret/t.h"), "root's own");
        vttest::writeBytes(at("secret/theirs.h"), "theirs");
        ASSERT_EQ(::chown(at("secret/theirs.h").c_str(), kOtherUser, kOtherUser), 0);
        ASSERT_EQ(::mkdir(at("shared").c_str(), 0), 0);
        ASSERT_EQ(::chmod(at("shared").c_str(), 01777), 0);
        ASSERT_EQ(::mkdir(at("group").c_str(), 0), 0);
        ASSERT_EQ(::chmod(at("group").c_str(), 0770), 0);
        ASSERT_EQ(::chown(at("group").c_str(), 0, kOtherUser), 0);
        vttest::writeBytes(at("shared/mine.h"), "root's");
        const auto made = vttest::asOtherUser([&] {
            for (const std::string folder : {"shared/", "group/"}) {
                if (::mkdir(at(folder + "ndir").c_str(), 0755) != 0 ||
                    ::symlink(at("secret/t.h").c_str(), at(folder + "ndir/out.h").c_str()) != 0 ||
                    ::symlink(at("secret").c_str(), at(folder + "ndir/sub").c_str()) != 0)
                    return "cannot plant";
                vttest::writeBytes(at(folder + "theirs.h"), "theirs");
            }
            return "planted";
        });
        ASSERT_EQ(made.value_or("no switch"), "planted");
    }

    std::string at(const std::string& name) const { return dir.file(name); }

    vttest::TempDir dir;
};

int attempt(Call call, const std::string& path) {
    std::string read;
    return call == Call::Write  ? files::writeNamedOutput(path, "header")
           : call == Call::Read ? files::readNamedInput(path, read)
                                : files::replaceFile(path, "header", files::Links::Replace);
}

TEST_F(OtherUser, RootNeitherFollowsTheirLinksNorReplacesTheirFilesWhereOthersMayWrite) {
    const std::string who = "user nobody";
    const auto wayThrough = [&](const std::string& link) {
        return "on its way, " + at(link) + " is a link made by " + who + ", which is not followed";
    };
    const std::string theirs = "a file of " + who + " in a folder others may write to, which is not replaced";
    const Attempt attempts[] = {
        {Call::Write, "shared/ndir/out.h", EACCES, "a link made by another user, which is not followed"},
        {Call::Write, "shared/ndir/sub/new.h", EACCES, wayThrough("shared/ndir/sub")},
        {Call::Read, "shared/ndir/sub/t.h", EACCES, wayThrough("shared/ndir/sub")},
        {Call::Write, "group/ndir/sub/t.h", EACCES, wayThrough("group/ndir/sub")},
        {Call::Write, "shared/theirs.h", EACCES, theirs},
        {Call::Write, "group/theirs.h", EACCES, theirs},
        {Call::Replace, "shared/theirs.h", EACCES,
         "ファイルへのアクセスが拒否されました: " + at("shared/theirs.h") + ": " + theirs},
        {Call::Write, "shared/mine.h", 0, ""},
        {Call::Write, "secret/theirs.h", 0, ""},  // nobody else may write there
    };
    for (const Attempt& a : attempts) {
        EXPECT_EQ(attempt(a.call, at(a.name)), a.error) << a.name;
        const std::string said = a.error == 0 ? ""
                                 : a.call == Call::Replace
                                     ? files::windowFileProblem(at(a.name), a.error, files::Links::Replace)
                                     : files::englishFileProblem(at(a.name), a.error);
        EXPECT_EQ(said, a.said) << a.name;
    }
    EXPECT_EQ(vttest::listing(at("secret")), "t.h\ntheirs.h\n");
    EXPECT_EQ(vttest::readWholeFile(at("secret/t.h")), "root's own");
    for (const std::string name : {"shared/theirs.h", "group/theirs.h"}) {
        EXPECT_EQ(vttest::readWholeFile(at(name)), "theirs") << name;
        struct stat st {};
        EXPECT_TRUE(::stat(at(name).c_str(), &st) == 0 && st.st_uid == kOtherUser) << name;
    }
}

}  // namespace
