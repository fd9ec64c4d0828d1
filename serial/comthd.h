#pragma once
// tcommthread: the event thread of an open port. It blocks in the port's event wait and hands
// every wake-up to the component's PostEvents, which posts messages to the hidden window; it
// never calls a handler and never waits for the GUI thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "serial/commapi.h"

class Trs232c;

class tcommthread {
public:
    // The body starts at Resume (or at once when createSuspended is false).
    explicit tcommthread(bool createSuspended);
    // Ends the thread if it still runs (stop request, then wait).
    ~tcommthread();
    tcommthread(const tcommthread&) = delete;
    tcommthread& operator=(const tcommthread&) = delete;

    void Resume();
    // Sets the stop request; the body tests it before every wait.
    void Terminate();
    // Waits without a time limit until the body has ended.
    void WaitFor();
    bool Terminated() const { return terminated_.load(std::memory_order_acquire); }

    // Set by Open before Resume, then only read by the thread.
    Trs232c* commport = nullptr;
    commapi::CommPort* commhandle = nullptr;
    // Written by the wait, read by PostEvents: both on the event thread.
    commapi::DWORD occurredmask = 0;

private:
    void Execute();

    std::atomic<bool> terminated_{false};
    std::mutex m_;  // guards started_ and the pause after a failed wait
    std::condition_variable cv_;
    bool started_ = false;
    std::thread thread_;  // owner: the thread that created this object
};
