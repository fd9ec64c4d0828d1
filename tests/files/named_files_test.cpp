// Outputs that a command line names, where no tool shows it: nothing is ever made or replaced
// among the device nodes, however the name leads there. A private folder stands in for /dev.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "files/named_files.h"
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

    // Beside the device folder the same names are ordinary files.
    EXPECT_EQ(files::writeNamedOutput(dir.file("new"), "header", devices), 0);
    EXPECT_EQ(vttest::readWholeFile(dir.file("new")), "header");
    EXPECT_EQ(files::writeNamedOutput(dir.path(), "header", devices), EISDIR);
}

}  // namespace
