#pragma once
// The window's host: the component, the link and their waits on Qt's event loop, as the window
// has always run them. Its hidden window is a QObject of the component's thread that takes the
// event thread's messages as posted events; a wait is a nested QEventLoop with a QTimer; the
// message box and beep are the operator's notifier's. Made once, by the application object (or a
// test's main), on the GUI thread: it is the host in force while it lives.
#include "serial/host.h"

namespace host {

class QtHost final : public Host {
public:
    QtHost();
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    std::unique_ptr<EventLoop> makeEventLoop() override;
    std::unique_ptr<Timer> makeTimer(std::function<void()> timeout) override;
    std::unique_ptr<Inbox> makeInbox() override;
    std::unique_ptr<TEventWindow> makeEventWindow(std::function<bool(const TPortMessage&)> proc) override;
    void showMessage(const std::string& text) override;
    void beep(unsigned type) override;
    void reportException(std::exception_ptr e) noexcept override;

private:
    Host* before_;
};

}  // namespace host
