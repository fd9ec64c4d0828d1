#pragma once
// How long the window would take to answer, for the benchmarks.
//
// InputDelayProbe stands for input reaching the window: another thread posts an event every
// 2 ms, and the longest delay until the GUI thread handles one is how long the window would take
// to answer a key or a click.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace vttest {

class InputDelayProbe final : public QObject {
public:
    InputDelayProbe() {
        clock_.start();
        poster_ = std::thread([this] {
            while (posting_) {
                QCoreApplication::postEvent(this, new Posted(clock_.nsecsElapsed()));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~InputDelayProbe() override { stop(); }
    InputDelayProbe(const InputDelayProbe&) = delete;
    InputDelayProbe& operator=(const InputDelayProbe&) = delete;

    // Ends the posting; what is still queued is dropped, not counted.
    void stop() {
        if (!poster_.joinable()) return;
        posting_ = false;
        poster_.join();
        QCoreApplication::removePostedEvents(this);
    }
    qint64 worstMs() const { return worst_ / 1000000; }

    bool event(QEvent* e) override {
        if (e->type() != kType) return QObject::event(e);
        worst_ = std::max<qint64>(worst_, clock_.nsecsElapsed() - static_cast<Posted*>(e)->sentNs);
        return true;
    }

private:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 77);
    struct Posted final : QEvent {
        explicit Posted(qint64 ns) : QEvent(kType), sentNs(ns) {}
        qint64 sentNs;
    };
    QElapsedTimer clock_;  // read by both threads, started before the poster
    std::atomic<bool> posting_{true};
    std::atomic<qint64> worst_{0};  // GUI thread writes, the reader reads after stop()
    std::thread poster_;
};

// The longest gap between the ticks of a 1 ms timer from start() to stop(): Qt runs timers at
// idle priority, so it shows how long the event loop went without a pause.
class TimerGapProbe {
public:
    TimerGapProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = since_.elapsed();
            worst_ = std::max(worst_, now - lastTick_);
            lastTick_ = now;
        });
    }
    void start() {
        since_.start();
        lastTick_ = 0;
        timer_.start();
    }
    void stop() { timer_.stop(); }
    qint64 worstMs() const { return worst_; }

private:
    QTimer timer_;
    QElapsedTimer since_;
    qint64 lastTick_ = 0, worst_ = 0;
};

}  // namespace vttest
