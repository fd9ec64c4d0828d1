// The wait for a draining output queue, which a pseudo-terminal never shows (its queue is
// empty at once): the port asks a stand-in device whose queue the test empties.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device_stand_in.h"
#include "pty_peer.h"
#include "serial/posix/posix_layer.h"

using namespace commapi;
using namespace std::chrono_literals;

namespace {

class DrainingDevice final : public DeviceStandIn {
public:
    int outputQueued(int) const override {
        ++asked;
        return queued.load();
    }

    std::atomic<int> queued{0};
    mutable std::atomic<int> asked{0};
};

}  // namespace

TEST(CommDrain, TxEmptyComesOnlyOnceTheOutputQueueHasDrained) {
    PtyPeer peer;
    DrainingDevice device;
    PosixLayer layer(device);
    auto p = layer.createFile(peer.path());
    ASSERT_TRUE(p);
    p->setCommMask(kEvTxEmpty);
    DWORD ev = 0;
    ASSERT_TRUE(p->waitCommEvent(ev));  // the mask change itself
    device.queued = 3;
    DWORD done = 0;
    ASSERT_TRUE(p->writeFile("abc", 3, done, 300));

    std::atomic<bool> returned{false};
    std::thread waiter([&] {
        p->waitCommEvent(ev);
        returned = true;
    });
    // The wait keeps looking at the queue, and keeps waiting while bytes are in it.
    const int before = device.asked;
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (device.asked < before + 5 && !returned && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(returned.load()) << "EV_TXEMPTY while three bytes were still queued";
    EXPECT_GE(device.asked - before, 5);
    device.queued = 0;
    waiter.join();
    EXPECT_EQ(ev, kEvTxEmpty);
}
