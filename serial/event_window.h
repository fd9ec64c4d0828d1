#pragma once
// The component's hidden window: where its event thread posts messages, each handed to the
// component's EventWindowProc on the thread that made the component. The host makes it (a Qt
// object that takes posted events in the window, a queued job in vtctl). Free of Qt.
#include <cstdint>

// A message as posted by the event thread; generation tells which opening of the port sent it.
struct TPortMessage {
    int message = 0;
    std::uint32_t generation = 0;
};

class TEventWindow {
public:
    virtual ~TEventWindow() = default;
    // Any thread: queues m for the thread that made the window. A message still queued when the
    // window goes is dropped.
    virtual void post(const TPortMessage& m) = 0;
};
