#include "tools/vtctl/batch.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "tools/vtctl/progress.h"
#include "tools/vtctl/system.h"

namespace vtctl {
namespace {

constexpr int kLookMs = 100;  // how often the main thread looks at the jobs

struct Running {
    std::unique_ptr<PortJob> job;
    std::thread thread;
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
    for (const std::string& port : ports) running.push_back({std::make_unique<PortJob>(request, port), {}});
    for (Running& r : running) {
        PortJob* const j = r.job.get();
        r.thread = std::thread([j, &m, &finished] {
            j->run();
            std::lock_guard lock(m);
            finished.notify_all();
        });
    }

    Progress progress(request.command == Command::Write && progressTerminal());
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
        r.thread.join();
        results.push_back(r.job->result());
    }
    return results;
}

}  // namespace vtctl
