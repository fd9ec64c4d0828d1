#pragma once
// A test double for what the link shows: a view that records.
#include <QString>
#include <chrono>
#include <functional>

#include "device/device_view.h"

namespace vttest {

// A reply limit far beyond the device tests' ctest TIMEOUT, for the waits that must end at once:
// one that nothing wakes makes its test time out instead of passing slowly.
inline constexpr std::chrono::hours kUnreachedReplyLimit{1};

struct RecordingView final : device::DeviceView {
    QString status;  // the status log; lines joined with "\n"
    QString receiveCount;
    QString buffer;
    bool openEnabled = true;
    bool closeEnabled = false;
    int resumeCloses = 0;
    int appends = 0;
    std::function<void()> onResumeClose;

    void appendStatusText(const std::string& text) override {
        status += QString::fromStdString(text);
        ++appends;
    }
    void appendStatusLine(const std::string& line) override {
        if (!status.isEmpty()) status += '\n';
        status += QString::fromStdString(line);
    }
    void clearStatus() override { status.clear(); }
    void showReceiveCount(const std::string& count) override { receiveCount = QString::fromStdString(count); }
    void showBuffer(const std::string& text) override { buffer = QString::fromStdString(text); }
    void enableOpen(bool on) override { openEnabled = on; }
    void enableClose(bool on) override { closeEnabled = on; }
    void resumeClose() override {
        ++resumeCloses;
        if (onResumeClose) onResumeClose();
    }
};

}  // namespace vttest
