// Trs232c on pseudo-terminals when things go wrong: a device that vanishes with bytes still
// queued, and a port that cannot be opened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cerrno>

#include "pty_peer.h"
#include "serial/rs232c.h"
#include "testkit/qt/pump.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using vttest::pumpUntil;

void configure(Trs232c& rs, const std::string& path) {
    rs.setportname(path);
    rs.setrxtimeout(300);
    rs.settxtimeout(300);
}

}  // namespace

// The unit's last bytes before it goes away are still there to read; only then does the count
// say the device is gone. With and without the event thread reading the device.
TEST(PtyFaults, BytesQueuedBeforeTheDeviceVanishedStayReadable) {
    for (const bool watched : {false, true}) {
        PtyPeer peer;
        Trs232c rs;
        configure(rs, peer.path());
        if (watched) rs.OnRXCHAR = [](Trs232c*) {};  // leaves the bytes queued
        ASSERT_TRUE(rs.Open());
        peer.send({1, 2, 3});
        ASSERT_TRUE(pumpUntil([&] { return rs.InQueueCount() == 3; })) << watched;
        peer.hangUp();
        EXPECT_FALSE(rs.WriteByte(0)) << "the device is gone";
        EXPECT_EQ(rs.InQueueCount(), 3) << watched;
        std::uint8_t buf[3] = {};
        EXPECT_TRUE(rs.Read(buf, 3)) << watched;
        EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{1, 2, 3})) << watched;
        EXPECT_EQ(rs.InQueueCount(), -1) << "nothing left and nothing more to come";
    }
}

TEST(PtyFaults, AFailedOpenKeepsWhy) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.filePath("plain-file").toStdString();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    PtyPeer peer;
    Trs232c holder, rs;
    configure(holder, peer.path());
    ASSERT_TRUE(holder.Open());

    configure(rs, dir.filePath("missing").toStdString());
    EXPECT_FALSE(rs.Open());
    EXPECT_EQ(rs.lastError(), ENOENT);
    configure(rs, file);
    EXPECT_FALSE(rs.Open());
    EXPECT_EQ(rs.lastError(), ENOTTY);
    configure(rs, peer.path());
    EXPECT_FALSE(rs.Open());
    EXPECT_TRUE(rs.lastError() == EBUSY || rs.lastError() == EWOULDBLOCK) << rs.lastError();
    holder.Close();
    EXPECT_TRUE(rs.Open());
    EXPECT_EQ(rs.lastError(), 0);
}
