#include "tools/vtctl/report.h"

#include "device/device_link.h"
#include "serial/posix/portname.h"
#include "tools/vtctl/open_failure.h"

namespace vtctl {
namespace {

// What the port name opens, for the reader: "com3 (/dev/ttyS2)"; a path as it is.
std::string portAndDevice(const std::string& port) {
    if (port.find('/') != std::string::npos) return port;
    const auto path = commapi::resolvePortName(port, commapi::configHome());
    return path ? port + " (" + *path + ")" : port;
}

}  // namespace

std::string secondsText(std::int64_t ms) {
    if (ms < 0) ms = 0;
    std::string fraction = std::to_string(ms % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return std::to_string(ms / 1000) + "." + fraction;
}

std::string failureText(const std::string& port, const JobResult& result) {
    using Outcome = JobResult::Outcome;
    const std::string noReply = device::kNoReplyLine;
    switch (result.outcome) {
        case Outcome::Done: return {};
        case Outcome::NotOpened: return "cannot open " + portAndDevice(port) + ": " + openFailureText(result.openError);
        case Outcome::NoReply: return noReply;
        case Outcome::Gone: return result.noReply ? noReply + " (the device has gone)" : "the device has gone";
        case Outcome::KeptSending:
            return "the unit never went quiet (" + std::to_string(kMostReceived) + " bytes and more)";
        case Outcome::Interrupted: return "interrupted";
        case Outcome::Failed: break;
    }
    return result.detail.empty() ? "failed" : result.detail;
}

std::string summaryLine(const std::string& port, const JobResult& result) {
    const std::string seconds = secondsText(result.elapsedMs) + " s";
    if (result.outcome == JobResult::Outcome::Done) return port + ": done in " + seconds;
    return port + ": failed after " + seconds + ": " + failureText(port, result);
}

}  // namespace vtctl
