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

    void appendStatusText(const QString& text) override {
        status += text;
        ++appends;
    }
    void appendStatusLine(const QString& line) override {
        if (!status.isEmpty()) status += '\n';
        status += line;
    }
    void clearStatus() override { status.clear(); }
    void showReceiveCount(const QString& count) override { receiveCount = count; }
    void showBuffer(const QString& text) override { buffer = text; }
    void enableOpen(bool on) override { openEnabled = on; }
    void enableClose(bool on) override { closeEnabled = on; }
    void resumeClose() override {
        ++resumeCloses;
        if (onResumeClose) onResumeClose();
    }
};

}  // namespace vttest
