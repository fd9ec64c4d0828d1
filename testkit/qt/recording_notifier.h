#pragma once
// Test doubles for what reaches the operator: a notifier that records instead of showing boxes,
// and a central exception handler that records instead of reporting. Each is in force while it
// lives; the one before comes back when it goes.
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
    RecordingNotifier() : before_(setNotifier(this)) {}
    ~RecordingNotifier() override { setNotifier(before_); }
    RecordingNotifier(const RecordingNotifier&) = delete;
    RecordingNotifier& operator=(const RecordingNotifier&) = delete;

    void showMessage(const QString& text) override { record(Shown::Message, text, text); }
    void showError(const QString& text) override { record(Shown::Error, text, "error: " + text); }
    void beep(unsigned type) override {
        shown.push_back({Shown::Beep, QString::number(type)});
        beeps.push_back(type);
    }
    bool ask(const QString& question) override {
        shown.push_back({Shown::Question, question});
        return answerYes;
    }

    // The texts of one kind, in order.
    QStringList texts(Shown::Kind kind) const {
        QStringList out;
        for (const Shown& s : shown)
            if (s.kind == kind) out << s.text;
        return out;
    }

    std::vector<Shown> shown;     // everything, in order
    QStringList messages;         // the boxes' texts, an error report's as "error: " + text
    std::vector<unsigned> beeps;  // the beeps' types
    bool answerYes = false;       // what every question is answered

private:
    void record(Shown::Kind kind, const QString& text, const QString& message) {
        shown.push_back({kind, text});
        messages << message;
    }
    Notifier* before_;
};

class RecordingExceptions {
public:
    RecordingExceptions()
        : before_(setExceptionHandler([this](std::exception_ptr e) { texts.push_back(textOf(e)); })) {}
    ~RecordingExceptions() { setExceptionHandler(before_); }
    RecordingExceptions(const RecordingExceptions&) = delete;
    RecordingExceptions& operator=(const RecordingExceptions&) = delete;

    std::vector<std::string> texts;  // what() of each, "?" for what is no std::exception

private:
    static std::string textOf(std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            return x.what();
        } catch (...) {
            return "?";
        }
    }
    ExceptionHandler before_;
};

}  // namespace vttest
