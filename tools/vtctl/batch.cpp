#include "tools/vtctl/batch.h"

#include <unistd.h>

#include <QThread>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <memory>
#include <mutex>

#include "tools/vtctl/progress.h"

namespace vtctl {
namespace {

constexpr int kLookMs = 100;  // how often the main thread looks at the jobs

volatile std::sig_atomic_t gStopSignal = 0;

void noteStop(int sig) { gStopSignal = sig; }

// The stop signals set a flag while the object lives, however many come: each port is put back
// as it was found before the program ends, and that takes a moment only (every wait is bounded).
class StopSignals {
public:
    StopSignals() {
        struct sigaction sa {};
        sa.sa_handler = noteStop;
        sigemptyset(&sa.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &sa, &before_[i]);
    }
    ~StopSignals() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &before_[i], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    bool caught() const { return gStopSignal != 0; }

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction before_[std::size(kSignals)]{};
};

struct Running {
    std::unique_ptr<PortJob> job;
    std::unique_ptr<QThread> thread;
};

bool allFinished(const std::vector<Running>& running) {
    for (const Running& r : running)
        if (!r.job->finished()) return false;
    return true;
}

std::vector<PortProgress> progressOf(const std::vector<Running>& running) {
    std::vector<PortProgress> out;
    for (const Running& r : running) out.push_back({r.job->port(), r.job->sent()});
    return out;
}

}  // namespace

std::vector<JobResult> runOnPorts(const Request& request, const std::vector<std::string>& ports) {
    StopSignals stops;
    // A job that finishes wakes the main thread, which otherwise looks every kLookMs.
    std::mutex m;
    std::condition_variable finished;
    std::vector<Running> running;
    for (const std::string& port : ports) {
        auto job = std::make_unique<PortJob>(request, port);
        PortJob* const j = job.get();
        auto body = [j, &m, &finished] {
            j->run();
            std::lock_guard lock(m);
            finished.notify_all();
        };
        running.push_back({std::move(job), std::unique_ptr<QThread>(QThread::create(body))});
    }
    for (Running& r : running) r.thread->start();

    Progress progress(request.command == Command::Write && ::isatty(STDERR_FILENO) == 1);
    bool interrupted = false;
    for (;;) {
        {
            std::unique_lock lock(m);
            finished.wait_for(lock, std::chrono::milliseconds(kLookMs), [&] { return allFinished(running); });
        }
        if (allFinished(running)) break;
        if (stops.caught() && !interrupted) {
            interrupted = true;
            for (Running& r : running) r.job->interrupt();
        }
        progress.show(progressOf(running));
    }
    progress.finish(progressOf(running));

    std::vector<JobResult> results;
    for (Running& r : running) {
        r.thread->wait();
        results.push_back(r.job->result());
    }
    return results;
}

}  // namespace vtctl
