#include "tools/vtctl/job_outcome.h"

#include <string>

#include "protocol/unit_protocol.h"

namespace vtctl {

// A stop comes first (the unit may be left mid-image), then a device that went, then a reply
// missing; only a command that had every reply can have run out of time or kept sending.
void settleOutcome(JobResult& r, const SessionEnd& e) {
    using Outcome = JobResult::Outcome;
    r.noReply = !device::everyReplyCame(e.link);
    if (e.stopped) {
        r.outcome = Outcome::Interrupted;
        if (e.command == Command::Write && e.sent > 0 && e.sent < protocol::kWriteBytes)
            r.writeShort = protocol::kWriteBytes - e.sent;
    } else if (e.gone) {
        r.outcome = Outcome::Gone;
    } else if (r.noReply) {
        r.outcome = Outcome::NoReply;
    } else if (e.link == device::Outcome::NotAllSent) {
        // Every reply came, but to bytes of which one never left: what the unit holds is unknown.
        r.outcome = Outcome::Failed;
        r.detail = "a byte could not be sent to the unit, though it answered every one that was";
    } else if (e.idle == IdleEnd::TimedOut) {
        r.outcome = Outcome::TimedOut;
        r.detail = "the reply went on past " + std::to_string(e.timeoutS) + " s (--timeout)";
    } else {
        r.outcome = e.idle == IdleEnd::KeptSending ? Outcome::KeptSending : Outcome::Done;
    }
}

}  // namespace vtctl
