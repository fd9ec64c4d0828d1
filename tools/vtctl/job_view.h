#pragma once
// What the link of one port shows, kept instead of shown: the link runs on the port's own
// thread, where neither the window nor the operator's notifier (GUI thread only) may be used.
// Owner: the port's thread; nothing here is read before that thread has finished.
#include <string>
#include <vector>

#include "device/device_view.h"

namespace vtctl {

class JobView final : public device::DeviceView {
public:
    // The received bytes' hexadecimal text: the tapped port keeps the bytes themselves; how a
    // command ended is the link's outcome, not its status line.
    void appendStatusText(const std::string&) override {}
    void appendStatusLine(const std::string&) override {}
    void clearStatus() override {}
    void showReceiveCount(const std::string&) override {}
    void showBuffer(const std::string&) override {}
    void enableOpen(bool) override {}
    void enableClose(bool) override {}
    void resumeClose() override {}
    void showMessage(const std::string& text) override { messages_.push_back(text); }
    void beep(unsigned) override {}

    // The link's message boxes, in order ("Error", "データ読込みエラー").
    const std::vector<std::string>& messages() const { return messages_; }

private:
    std::vector<std::string> messages_;
};

}  // namespace vtctl
