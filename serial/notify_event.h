#pragma once
// TNotifyEvent: an event slot of the serial component holding a callback that receives the
// sender. Assigned and called on the GUI thread; the event thread only asks, without a lock,
// whether it is assigned (the atomic copy below).
#include <atomic>
#include <cstddef>
#include <functional>
#include <utility>

class Trs232c;

class TNotifyEvent {
public:
    using Handler = std::function<void(Trs232c*)>;

    TNotifyEvent() = default;
    TNotifyEvent(const TNotifyEvent& other) { *this = other.handler_; }
    TNotifyEvent& operator=(const TNotifyEvent& other) {
        if (this != &other) *this = other.handler_;
        return *this;
    }

    TNotifyEvent& operator=(Handler h) {
        handler_ = std::move(h);
        assigned_.store(static_cast<bool>(handler_), std::memory_order_release);
        return *this;
    }
    TNotifyEvent& operator=(std::nullptr_t) { return *this = Handler(); }

    // GUI thread.
    explicit operator bool() const noexcept { return static_cast<bool>(handler_); }
    void operator()(Trs232c* sender) const { handler_(sender); }

    // Any thread.
    bool assigned() const noexcept { return assigned_.load(std::memory_order_acquire); }

private:
    Handler handler_;                    // owner: GUI thread
    std::atomic<bool> assigned_{false};  // written by the GUI thread, read by the event thread
};
