#pragma once
// The link's port with a tap on it: how many bytes went out (for the progress line, read by the
// main thread) and every byte that came in (for dump and send), and whether the device went.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "device/link_port.h"

namespace vtctl {

class TappedPort final : public device::LinkPort {
public:
    // sent: bumped for every byte written; owner: the job, read by any thread.
    TappedPort(device::LinkPort& port, std::atomic<int>& sent) : port_(port), sent_(sent) {}

    void setbps(std::int32_t bps) override { port_.setbps(bps); }
    void setportname(const std::string& name) override { port_.setportname(name); }
    bool Open() override { return port_.Open(); }
    std::string openFailureReason() const override { return port_.openFailureReason(); }
    bool Close() override { return port_.Close(); }
    bool isOpen() const override { return port_.isOpen(); }
    bool WriteByte(std::uint8_t b) override;
    bool ReadByte(std::uint8_t& b) override;
    bool Read(void* buffer, std::int32_t count) override;
    std::int32_t InQueueCount() override;
    bool SetDTR(bool on) override { return port_.SetDTR(on); }
    bool SetRTS(bool on) override { return port_.SetRTS(on); }

    // Called after every byte received.
    void setOnReceived(std::function<void()> f) { onReceived_ = std::move(f); }
    // Called when the device is found gone.
    void setOnGone(std::function<void()> f) { onGone_ = std::move(f); }
    const std::string& received() const { return received_; }
    // The open port could not count its queue any more: the device has gone.
    bool gone() const { return gone_; }

private:
    device::LinkPort& port_;
    std::atomic<int>& sent_;
    // The port's thread only.
    std::string received_;
    std::function<void()> onReceived_;
    std::function<void()> onGone_;
    bool gone_ = false;
};

}  // namespace vtctl
