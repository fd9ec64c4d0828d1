#pragma once
// The application object: names the program, gives every widget the window's font, lets Enter
// press the push button that has the focus and, as a last line of defence, sends an error that
// escaped some event's processing to the central exception handler instead of letting it unwind
// through the event loop.
#include <QApplication>

#include "serial/qt/qt_host.h"

// The program's title: the window's caption and the title of every message box.
QString applicationTitle();

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    // The serial component and the link run on this application's event loop.
    host::QtHost host_;
};
