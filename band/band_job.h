#pragma once
// The "Band" page's sweep off the GUI thread, one at a time: a sweep of 4 R x 100,000 points
// takes seconds, and the window must answer meanwhile. No Qt: the page hands the result to its
// own thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "band/band_model.h"

namespace band {

class Job {
public:
    // Called on the job's thread with the finished sweep; never for one that was stopped.
    using Finished = std::function<void(std::shared_ptr<const Result>)>;

    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job();  // stops the sweep and waits for its thread

    // Stops a sweep still running, then starts this one.
    void start(Request request, Finished finished);
    // Asks the sweep to stop and waits until its thread has ended; nothing more is called.
    void stop();

    // Of the sweep started last; read on any thread.
    int64_t pointsDone() const { return done_.load(std::memory_order_relaxed); }
    int64_t pointsTotal() const { return total_.load(std::memory_order_relaxed); }

private:
    // Owned by the thread that calls start and stop; the job's thread only reads stop_ and
    // counts done_.
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int64_t> done_{0}, total_{0};
};

}  // namespace band
