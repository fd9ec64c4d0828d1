#pragma once
// Test doubles for what the link shows and says: a view and a notifier that record.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "common/notifier.h"
#include "device/device_view.h"

namespace vttest {

struct RecordingView final : device::DeviceView {
    QString status;  // Memo2's text; lines joined with "\n"
    QString edit7;
    QString memo3;
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
    void setEdit7Text(const QString& text) override { edit7 = text; }
    void setMemo3Text(const QString& text) override { memo3 = text; }
    void setOpenEnabled(bool on) override { openEnabled = on; }
    void setCloseEnabled(bool on) override { closeEnabled = on; }
    void resumeClose() override {
        ++resumeCloses;
        if (onResumeClose) onResumeClose();
    }
};

struct RecordingNotifier final : Notifier {
    QStringList messages;
    std::vector<unsigned> beeps;
    Notifier* before = setNotifier(this);
    ~RecordingNotifier() override { setNotifier(before); }
    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString& text) override { messages << "error: " + text; }
    void beep(unsigned type) override { beeps.push_back(type); }
};

// Runs the event loop until pred holds or the limit passes; returns pred().
inline bool pumpUntil(const std::function<bool()>& pred, int limitMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pred();
}

}  // namespace vttest
