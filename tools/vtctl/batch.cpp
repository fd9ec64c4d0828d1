#include "tools/vtctl/batch.h"

#include <pthread.h>
#include <unistd.h>

#include <QThread>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "tools/vtctl/progress.h"

namespace vtctl {
namespace {

constexpr int kLookMs = 100;  // how often the main thread looks at the jobs

volatile std::sig_atomic_t gStopSignal = 0;

void noteStop(int sig) { gStopSignal = sig; }

// Every signal that would end the program, other than a fault of its own (SIGSEGV, SIGABRT, …):
// each ends the jobs as SIGINT does, the unit told what it was left with.
std::vector<int> endingSignals() {
    std::vector<int> ending{SIGHUP,  SIGINT,  SIGQUIT, SIGPIPE, SIGALRM,   SIGTERM, SIGUSR1,  SIGUSR2,
                            SIGPOLL, SIGPROF, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPWR,  SIGSTKFLT};
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) ending.push_back(s);
    return ending;
}

// The stop signals set a flag while the object lives, however many come: each port is put back
// as it was found before the program ends, and that takes a moment only (every wait is bounded).
// A signal ignored when the program started stays ignored (nohup, a shell's background job): it
// would not have ended it. One its parent had blocked is let through.
class StopSignals {
public:
    StopSignals() {
        struct sigaction sa {};
        sa.sa_handler = noteStop;
        sigemptyset(&sa.sa_mask);
        sigset_t unblock;
        sigemptyset(&unblock);
        for (int s : endingSignals()) {
            struct sigaction found {};
            if (sigaction(s, nullptr, &found) != 0 || found.sa_handler == SIG_IGN) continue;
            sigaction(s, &sa, nullptr);
            caught_.push_back({s, found});
            sigaddset(&unblock, s);
        }
        pthread_sigmask(SIG_UNBLOCK, &unblock, &mask_);
    }
    ~StopSignals() {
        pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
        for (const auto& [s, found] : caught_) sigaction(s, &found, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    bool caught() const { return gStopSignal != 0; }

private:
    std::vector<std::pair<int, struct sigaction>> caught_;  // with what each had before
    sigset_t mask_{};                                       // the main thread's, before
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
