// Which device a port name opens, and the input queue's ring.
#include <gtest/gtest.h>

#include <filesystem>

#include "serial/posix/portname.h"
#include "serial/posix/rx_queue.h"
#include "testkit/temp_dir.h"

using commapi::resolvePortName;
namespace fs = std::filesystem;

class PortNames : public ::testing::Test {
protected:
    PortNames() { fs::create_directories(home_ / "vtconfig/ports"); }
    vttest::TempDir dir_;
    fs::path home_ = dir_.path();
};

TEST_F(PortNames, PathIsUsedAsItIs) {
    EXPECT_EQ(resolvePortName("/dev/pts/7", home_), "/dev/pts/7");
    EXPECT_EQ(resolvePortName("./relative/tty", home_), "./relative/tty");
}

TEST_F(PortNames, ComWithoutAliasIsTheMatchingTtyS) {
    EXPECT_EQ(resolvePortName("COM1", home_), "/dev/ttyS0");
    EXPECT_EQ(resolvePortName("com12", home_), "/dev/ttyS11");
    EXPECT_EQ(resolvePortName("cOm3", home_), "/dev/ttyS2");
}

TEST_F(PortNames, AliasWinsAndIsFoundInAnyCase) {
    fs::create_symlink("/dev/null", home_ / "vtconfig/ports/com2");
    EXPECT_EQ(resolvePortName("COM2", home_), (home_ / "vtconfig/ports/com2").string());
    EXPECT_EQ(resolvePortName("com2", home_), (home_ / "vtconfig/ports/com2").string());
    EXPECT_EQ(resolvePortName("com3", home_), "/dev/ttyS2");
    EXPECT_EQ(commapi::portAliasPath("COM3", home_), (home_ / "vtconfig/ports/com3").string())
        << "where an alias is made, before it exists";
}

TEST_F(PortNames, AnythingElseNamesNoDevice) {
    for (const char* bad : {"", "COM", "COM0", "COM01", "COMx", "LPT1", "ttyS0", "COM1 ", "COM-1", "COM99999999"}) {
        EXPECT_FALSE(resolvePortName(bad, home_)) << bad;
        EXPECT_FALSE(commapi::portAliasPath(bad, home_)) << bad;
    }
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
