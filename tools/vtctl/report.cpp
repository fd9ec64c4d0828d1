#include "tools/vtctl/report.h"

#include "device/device_link.h"
#include "serial/commapi.h"
#include "text/shown.h"

namespace vtctl {
namespace {

// The window's reason line ("Cannot open com3 (/dev/ttyUSB0): permission denied …"). Looked up
// here, on the main thread, after every port has finished: the group database is not for threads.
std::string notOpenedText(const std::string& port, int error) {
    const std::string reason = commapi::openFailureReason(port, error);
    return reason.empty() ? "Cannot open " + text::shown(port) + ": refused" : reason;
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
        case Outcome::NotOpened: return notOpenedText(port, result.openError);
        case Outcome::NoReply: return noReply;
        case Outcome::Gone: return result.noReply ? noReply + " (the device has gone)" : "the device has gone";
        case Outcome::KeptSending:
            return "the unit never went quiet (" + std::to_string(kMostReceived) + " bytes and more)";
        case Outcome::Interrupted: {
            if (result.writeShort == 0) return "interrupted";
            std::string text = "interrupted: the unit is left in the middle of a write, ";
            text += std::to_string(result.writeShort);
            return text + (result.writeShort == 1 ? " byte" : " bytes") + " short: write it again";
        }
        case Outcome::TimedOut:
        case Outcome::Failed: break;
    }
    return result.detail.empty() ? "failed" : result.detail;
}

std::string summaryLine(const std::string& port, const JobResult& result) {
    const std::string seconds = secondsText(result.elapsedMs) + " s";
    if (result.outcome == JobResult::Outcome::Done) return text::shown(port) + ": done in " + seconds;
    return text::shown(port) + ": failed after " + seconds + ": " + failureText(port, result);
}

}  // namespace vtctl
