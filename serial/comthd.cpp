#include "serial/comthd.h"

#include <chrono>

#include "serial/port_events.h"
#include "serial/rs232c.h"

using namespace commapi;
using namespace portevents;

namespace {
// After a failed wait the thread pauses this long (or until told to stop) so that a wait which
// keeps failing cannot turn it into a busy loop.
constexpr auto kRetryPause = std::chrono::milliseconds(50);
}  // namespace

tcommthread::tcommthread(bool createSuspended) {
    if (!createSuspended) Resume();
}

tcommthread::~tcommthread() {
    Terminate();
    WaitFor();
}

void tcommthread::Resume() {
    std::lock_guard lock(m_);
    if (started_) return;
    started_ = true;
    thread_ = std::thread([this] { Execute(); });
}

void tcommthread::Terminate() {
    {
        std::lock_guard lock(m_);
        terminated_.store(true, std::memory_order_release);
    }
    cv_.notify_all();
}

void tcommthread::WaitFor() {
    if (thread_.joinable()) thread_.join();
}

void tcommthread::Execute() {
    while (!Terminated()) {
        DWORD occurred = 0;
        if (commhandle->waitCommEvent(occurred)) {
            occurredmask = occurred;
            commport->PostEvents();
        } else {
            std::unique_lock lock(m_);
            cv_.wait_for(lock, kRetryPause, [this] { return Terminated(); });
        }
    }
}

void Trs232c::postMessage(int message) { eventwindow_->post({message, generation_.load(std::memory_order_acquire)}); }

void Trs232c::PostEvents() {
    const DWORD occurred = eventthread_->occurredmask;
    for (const PortEvent& e : kPortEvents) {
        if (!(occurred & e.bit)) continue;
        bool due = false;
        switch (e.rule) {
            case PostRule::Assigned: due = (this->*e.handler).assigned(); break;
            case PostRule::Packet: due = packetDue(); break;
            case PostRule::RxChar: due = rxcharDue(); break;
        }
        if (due) postMessage(e.message);
    }
}

// The queue is counted at every receive event, whatever handlers are assigned.
bool Trs232c::packetDue() {
    DWORD errors = 0;
    COMSTAT status;
    commhandle_->clearCommError(errors, status);
    rxqueued_.store(static_cast<std::int32_t>(status.cbInQue), std::memory_order_relaxed);
    const std::int32_t packet = packetsize();
    if (!OnPACKET.assigned() || packet == 0 || rxqueued_.load(std::memory_order_relaxed) < packet) return false;
    rxqueued_.store(0, std::memory_order_relaxed);
    return true;
}

bool Trs232c::rxcharDue() {
    if (!OnRXCHAR.assigned()) return false;
    int state = rxcharState_.load(std::memory_order_acquire);
    // Idle: post. On its way: remember that more came, so that another one follows.
    while (state != kRxInFlightMore &&
           !rxcharState_.compare_exchange_weak(state, state == kRxIdle ? kRxInFlight : kRxInFlightMore,
                                               std::memory_order_acq_rel)) {}
    return state == kRxIdle;
}

bool Trs232c::EventWindowProc(const TPortMessage& message) {
    const PortEvent* e = findPortEvent(message.message);
    if (!e) return false;
    // A message from an opening of the port that has been closed since, or with its handler
    // cleared after it was posted, is dropped: its handler would find nothing to work on.
    if (message.generation != generation_.load(std::memory_order_relaxed) || !isopen_) return true;
    if (e->rule == PostRule::RxChar) {
        deliverRxChar(message.generation);
        return true;
    }
    const TNotifyEvent& h = this->*e->handler;
    if (h) h(this);
    return true;
}

void Trs232c::deliverRxChar(std::uint32_t generation) {
    const std::uint64_t takenBefore = rxTaken_;
    try {
        if (OnRXCHAR) OnRXCHAR(this);
    } catch (...) {
        afterRxChar(generation, takenBefore);
        throw;
    }
    afterRxChar(generation, takenBefore);
}

// The receive message is back from its handler: another one follows when bytes arrived
// meanwhile, or when the handler took some and left more (it may take one byte per event).
// A handler that took nothing gets no second call for the same bytes: that would spin.
void Trs232c::afterRxChar(std::uint32_t generation, std::uint64_t takenBefore) {
    // Closed (and perhaps opened again) inside the handler: that opening keeps its own state.
    if (generation != generation_.load(std::memory_order_relaxed) || !isopen_) return;
    const bool leftover = rxTaken_ != takenBefore && InQueueCount() > 0;
    if (!leftover) {
        int state = kRxInFlight;
        if (rxcharState_.compare_exchange_strong(state, kRxIdle, std::memory_order_acq_rel)) return;
    }
    rxcharState_.store(kRxInFlight, std::memory_order_release);
    postMessage(rxcharMessage());
}
