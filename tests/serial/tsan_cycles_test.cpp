// 1,000 open/traffic/close cycles of the component on one pty, for the thread sanitizer: the
// event thread starts, waits, posts and is stopped again every cycle, sometimes while bytes
// are still arriving.
#include <gtest/gtest.h>

#include "pty_peer.h"
#include "serial/rs232c.h"
#include "testkit/qt/pump.h"

using vttest::pumpUntil;

TEST(SerialCycles, OpenTrafficCloseAThousandTimes) {
    PtyPeer peer;
    Trs232c rs;
    rs.setportname(peer.path());
    rs.setrxtimeout(300);
    rs.settxtimeout(300);
    int received = 0;
    rs.OnRXCHAR = [&](Trs232c* s) {
        std::uint8_t b;
        while (s->InQueueCount() > 0 && s->ReadByte(b)) {
            ++received;
            s->WriteByte(static_cast<std::uint8_t>(b + 1));
        }
    };
    rs.setpacketsize(2);
    int packets = 0;
    rs.OnPACKET = [&](Trs232c*) { ++packets; };

    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_TRUE(rs.Open()) << "cycle " << cycle;
        const auto b = static_cast<std::uint8_t>(cycle);
        const int before = received;
        peer.send(b);
        ASSERT_TRUE(pumpUntil([&] { return received > before; }, 5000)) << "cycle " << cycle;
        ASSERT_EQ(peer.receive(1), std::vector<std::uint8_t>{static_cast<std::uint8_t>(b + 1)}) << "cycle " << cycle;
        if (cycle % 3 == 0) peer.send({1, 2, 3});  // still arriving while the port closes
        ASSERT_TRUE(rs.Close());
        peer.receive(3, 0);
    }
    EXPECT_GE(received, 1000);
}
