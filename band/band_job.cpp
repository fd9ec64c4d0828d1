#include "band/band_job.h"

namespace band {

Job::~Job() { stop(); }

void Job::start(Request request, Finished finished) {
    stop();
    stop_ = false;
    done_ = 0;
    total_ = 2 * request.inputs.steps.count() * static_cast<int64_t>(request.inputs.rs.size());  // both searches
    thread_ = std::thread([this, request = std::move(request), finished = std::move(finished)] {
        if (auto result = compute(request, stop_, done_)) finished(std::move(result));
    });
}

void Job::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace band
