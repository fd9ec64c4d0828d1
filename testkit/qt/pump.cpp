#include "testkit/qt/pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace vttest {

// Short sleeps between the rounds leave the core to the threads and processes being waited for.
bool pumpUntil(const std::function<bool()>& pred, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < limitMs) {
        QCoreApplication::processEvents();
        if (!pred()) QThread::usleep(200);
    }
    return pred();
}

void pumpFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
}

}  // namespace vttest
