#pragma once
// What the link of one port shows, kept instead of shown: the link runs on the port's own
// thread, where neither the window nor the operator's notifier (GUI thread only) may be used.
// Owner: the port's thread; nothing here is read before that thread has finished.
#include <QString>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/device_view.h"

namespace vtctl {

class JobView final : public device::DeviceView {
public:
    // The received bytes' hexadecimal text: the tapped port keeps the bytes themselves.
    void appendStatusText(const QString&) override {}
    void appendStatusLine(const QString& line) override {
        if (line == QLatin1String(device::kNoReplyLine)) noReply_ = true;
    }
    void clearStatus() override {}
    void showReceiveCount(const QString&) override {}
    void showBuffer(const QString&) override {}
    void enableOpen(bool) override {}
    void enableClose(bool) override {}
    void resumeClose() override {}
    void showMessage(const QString& text) override { messages_.push_back(text.toStdString()); }
    void beep(unsigned) override {}

    // A reply wait ended without a reply ("No reply from the unit").
    bool noReply() const { return noReply_; }
    // The link's message boxes, in order ("Error", "データ読込みエラー").
    const std::vector<std::string>& messages() const { return messages_; }

private:
    bool noReply_ = false;
    std::vector<std::string> messages_;
};

}  // namespace vtctl
