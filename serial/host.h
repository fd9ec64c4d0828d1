#pragma once
// What the serial component, the device link and vtctl's ports need of the thread they run on:
// nested runs of its events, single-shot timers, jobs and the component's messages posted to it
// from other threads, and the operator's message box. The window runs them on Qt's event loop
// (host::QtHost, serial/qt/, installed by the window's application object); everything else,
// vtctl on every system, on the plain host (serial/plain/): a queue per thread. A wait is a
// loop run until a condition holds or a timer's deadline passes. Free of Qt.
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "serial/event_window.h"

namespace host {

// A nested run of the events of the thread that made it: jobs and messages posted to the thread,
// its timers. Made, run and ended on that thread.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Runs the thread's events until exit(); the code given to exit, or 0 when the program ends
    // every loop (Qt's quit).
    virtual int exec() = 0;
    // Ends exec() once the event that calls it has returned; nothing when the loop is not running.
    virtual void exit(int code) = 0;
};

// A single-shot timer of the thread that made it; its action runs within a run of that thread's
// events.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void start(std::chrono::milliseconds interval) = 0;  // again: from now on
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// Where other threads post jobs for the thread that made it; they run there within a run of its
// events, in the order posted. Jobs still queued when the inbox goes are dropped.
class Inbox {
public:
    virtual ~Inbox() = default;
    virtual void post(std::function<void()> job) = 0;  // any thread
};

class Host {
public:
    virtual ~Host() = default;
    virtual std::unique_ptr<EventLoop> makeEventLoop() = 0;
    virtual std::unique_ptr<Timer> makeTimer(std::function<void()> timeout) = 0;
    virtual std::unique_ptr<Inbox> makeInbox() = 0;
    // The hidden window of a component made on the calling thread; proc gets each message there
    // (true: one of the component's). What proc throws goes to reportException.
    virtual std::unique_ptr<TEventWindow> makeEventWindow(std::function<bool(const TPortMessage&)> proc) = 0;
    // The operator's message box and beep (the component's debug texts, the link's "Error").
    virtual void showMessage(const std::string& text) = 0;
    virtual void beep(unsigned type) = 0;
    // Where an error ends that a handler let escape and nothing above can take.
    virtual void reportException(std::exception_ptr e) noexcept = 0;
};

// The host in force: the one installed, else the plain host.
Host& current();
// Installs h (not owned; nullptr: the plain host again) before any component or link is made;
// the one in force before. Owner: the main thread, at start-up and at the end only.
Host* install(Host* h);
// The plain host: each thread's events in a queue of its own, run by its loops.
Host& plainHost();

}  // namespace host
