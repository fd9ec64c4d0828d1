#pragma once
// The operator sees messages and errors in modal Qt message boxes titled with the
// application's title, their texts shown as plain text.
#include "common/notifier.h"

class QMessageBox;
class QWidget;

// The general error report's box: error icon, one OK button. Not shown yet; the caller owns it.
QMessageBox* makeErrorBox(const QString& text, QWidget* parent);

// A question box: buttons Yes and No, No the default and the answer to Escape. Not shown yet.
QMessageBox* makeQuestionBox(const QString& question, QWidget* parent);

class MessageBoxNotifier final : public Notifier {
public:
    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    void beep(unsigned type) override;
    bool ask(const QString& question) override;
};
