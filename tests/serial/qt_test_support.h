#pragma once
// What the component tests share: pumping the GUI event loop, and recorders for the operator
// messages and the central exception handler.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "common/exception_report.h"
#include "common/notifier.h"

// Runs the event loop until pred() holds or timeoutMs has passed; returns pred().
inline bool pumpUntil(const std::function<bool()>& pred, int timeoutMs = 2000) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents();
        if (!pred()) QThread::usleep(200);
    }
    return pred();
}

inline void pumpFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
}

class RecordingNotifier : public Notifier {
public:
    RecordingNotifier() { previous_ = setNotifier(this); }
    ~RecordingNotifier() override { setNotifier(previous_); }
    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString& text) override { errors << text; }
    void beep(unsigned) override {}
    QStringList messages;
    QStringList errors;

private:
    Notifier* previous_ = nullptr;
};

class RecordingExceptions {
public:
    RecordingExceptions() {
        previous_ = setExceptionHandler([this](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                texts.push_back(x.what());
            } catch (...) {
                texts.push_back("?");
            }
        });
    }
    ~RecordingExceptions() { setExceptionHandler(previous_); }
    std::vector<std::string> texts;

private:
    ExceptionHandler previous_;
};
