#include "serial/qt/qt_host.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <utility>

#include "common/exception_report.h"
#include "common/notifier.h"

namespace host {
namespace {

class QtEventLoop final : public EventLoop {
public:
    int exec() override { return loop_.exec(); }
    void exit(int code) override { loop_.exit(code); }

private:
    QEventLoop loop_;
};

class QtTimer final : public Timer {
public:
    explicit QtTimer(std::function<void()> timeout) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(timeout));
    }
    void start(std::chrono::milliseconds interval) override { timer_.start(interval); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

class QtInbox final : public Inbox {
public:
    void post(std::function<void()> job) override {
        QMetaObject::invokeMethod(&receiver_, std::move(job), Qt::QueuedConnection);
    }

private:
    QObject receiver_;  // lives on the thread that made the inbox
};

// The event thread's message as a posted event, of the message's number as its type.
class TPortEvent final : public QEvent {
public:
    explicit TPortEvent(const TPortMessage& m) : QEvent(QEvent::Type(m.message)), message(m) {}
    const TPortMessage message;
};

// The hidden window: a private object living on the component's thread; its event() is the
// component's EventWindowProc. Anything escaping it goes to the central exception handler.
class QtEventWindow final : public QObject, public TEventWindow {
public:
    explicit QtEventWindow(std::function<bool(const TPortMessage&)> proc) : proc_(std::move(proc)) {}
    void post(const TPortMessage& m) override { QCoreApplication::postEvent(this, new TPortEvent(m)); }
    bool event(QEvent* e) override {
        bool handled = false;
        try {
            if (const auto* m = dynamic_cast<const TPortEvent*>(e)) handled = proc_(m->message);
            if (!handled) handled = QObject::event(e);
        } catch (...) {
            ::reportException(std::current_exception());
            handled = true;
        }
        return handled;
    }

private:
    std::function<bool(const TPortMessage&)> proc_;
};

}  // namespace

QtHost::QtHost() : before_(install(this)) {}
QtHost::~QtHost() { install(before_); }

std::unique_ptr<EventLoop> QtHost::makeEventLoop() { return std::make_unique<QtEventLoop>(); }
std::unique_ptr<Timer> QtHost::makeTimer(std::function<void()> timeout) {
    return std::make_unique<QtTimer>(std::move(timeout));
}
std::unique_ptr<Inbox> QtHost::makeInbox() { return std::make_unique<QtInbox>(); }
std::unique_ptr<TEventWindow> QtHost::makeEventWindow(std::function<bool(const TPortMessage&)> proc) {
    return std::make_unique<QtEventWindow>(std::move(proc));
}
void QtHost::showMessage(const std::string& text) { notifier().showMessage(QString::fromStdString(text)); }
void QtHost::beep(unsigned type) { notifier().beep(type); }
void QtHost::reportException(std::exception_ptr e) noexcept { ::reportException(std::move(e)); }

}  // namespace host
