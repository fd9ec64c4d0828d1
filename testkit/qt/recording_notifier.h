#pragma once
// Test doubles for what reaches the operator: a notifier that records instead of showing boxes,
// and a central exception handler that records instead of reporting. Each is in force while
// it lives; the one before comes back when it goes.
#include <QString>
#include <QStringList>
#include <exception>
#include <string>
#include <vector>

#include "common/exception_report.h"
#include "common/notifier.h"

namespace vttest {

struct Shown {
    enum Kind { Message, Error, Beep, Question } kind;
    QString text;
};

class RecordingNotifier final : public Notifier {
public:
    RecordingNotifier();
    ~RecordingNotifier() override;
    RecordingNotifier(const RecordingNotifier&) = delete;
    RecordingNotifier& operator=(const RecordingNotifier&) = delete;

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    void beep(unsigned type) override;
    bool ask(const QString& question) override;

    std::vector<Shown> shown;     // everything, in order
    QStringList messages;         // the boxes' texts, an error report's as "error: " + text
    std::vector<unsigned> beeps;  // the beeps' types
    bool answerYes = false;       // what every question is answered

private:
    Notifier* before_ = nullptr;
};

class RecordingExceptions {
public:
    RecordingExceptions();
    ~RecordingExceptions();
    RecordingExceptions(const RecordingExceptions&) = delete;
    RecordingExceptions& operator=(const RecordingExceptions&) = delete;

    std::vector<std::string> texts;  // what() of each, "?" for what is no std::exception

private:
    ExceptionHandler before_;
};

}  // namespace vttest
