#include "ui/application.h"

#include <clocale>

#include "common/exception_report.h"
#include "ui/fonts.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The number and date texts follow the user's locale (LC_NUMERIC, LC_TIME). Qt sets it from
    // the environment too; saying so here keeps the window independent of that detail.
    std::setlocale(LC_ALL, "");
    setApplicationName("vtconfig");
    setFont(windowFont());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return false;
    }
}
