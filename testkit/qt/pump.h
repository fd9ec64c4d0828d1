#pragma once
// Runs the GUI thread's event loop from a test, where the component's messages and the link's
// events arrive. Short sleeps between the rounds leave the core to the threads and processes
// being waited for.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace vttest {

// Runs the event loop until pred() holds or limitMs has passed; returns pred().
inline bool pumpUntil(const std::function<bool()>& pred, int limitMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < limitMs) {
        QCoreApplication::processEvents();
        if (!pred()) QThread::usleep(200);
    }
    return pred();
}

// Runs the event loop for ms milliseconds, sleeping longer between rounds: a test that reads the
// CPU time meanwhile sees what the code under test used, not the pump.
inline void pumpFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
}

}  // namespace vttest
