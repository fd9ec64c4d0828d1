#include "ui/message_box_notifier.h"

#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "ui/application.h"

namespace {

std::unique_ptr<QMessageBox> makeBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    // The text may quote what the operator typed: "<b>5</b>" is shown as typed, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

}  // namespace

QMessageBox* makeErrorBox(const QString& text, QWidget* parent) {
    return makeBox(QMessageBox::Critical, text, parent).release();
}

QMessageBox* makeQuestionBox(const QString& question, QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Question, applicationTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

void MessageBoxNotifier::showMessage(const QString& text) {
    makeBox(QMessageBox::NoIcon, text, QApplication::activeWindow())->exec();
}

void MessageBoxNotifier::showError(const QString& text) {
    std::unique_ptr<QMessageBox> box(makeErrorBox(text, QApplication::activeWindow()));
    box->exec();
}

void MessageBoxNotifier::beep(unsigned) { QApplication::beep(); }

bool MessageBoxNotifier::ask(const QString& question) {
    std::unique_ptr<QMessageBox> box(makeQuestionBox(question, QApplication::activeWindow()));
    return box->exec() == QMessageBox::Yes;
}
