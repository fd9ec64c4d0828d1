#include "testkit/qt/recording_notifier.h"

namespace vttest {

RecordingNotifier::RecordingNotifier() : before_(setNotifier(this)) {}

RecordingNotifier::~RecordingNotifier() { setNotifier(before_); }

void RecordingNotifier::showMessage(const QString& text) {
    shown.push_back({Shown::Message, text});
    messages << text;
}

void RecordingNotifier::showError(const QString& text) {
    shown.push_back({Shown::Error, text});
    messages << "error: " + text;
}

void RecordingNotifier::beep(unsigned type) {
    shown.push_back({Shown::Beep, QString::number(type)});
    beeps.push_back(type);
}

bool RecordingNotifier::ask(const QString& question) {
    shown.push_back({Shown::Question, question});
    return answerYes;
}

RecordingExceptions::RecordingExceptions()
    : before_(setExceptionHandler([this](std::exception_ptr e) {
          try {
              std::rethrow_exception(e);
          } catch (const std::exception& x) {
              texts.push_back(x.what());
          } catch (...) {
              texts.push_back("?");
          }
      })) {}

RecordingExceptions::~RecordingExceptions() { setExceptionHandler(before_); }

}  // namespace vttest
