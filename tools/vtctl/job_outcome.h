#pragma once
// How a port's job ended, decided in one place from what its session saw.
#include "device/device_link.h"
#include "tools/vtctl/port_job.h"

namespace vtctl {

// How the last idle time of a command ended (the exit codes of its event loop).
enum class IdleEnd { Over = 1, KeptSending, TimedOut, Stopped, Gone };

struct SessionEnd {
    Command command = Command::None;
    bool stopped = false;                           // by a signal
    bool gone = false;                              // the device went away
    device::Outcome link = device::Outcome::Reply;  // of the link's command (send has none)
    IdleEnd idle = IdleEnd::Over;
    int sent = 0;  // bytes written
    int timeoutS = 0;
};

// Sets the outcome of result, and noReply, writeShort and detail as it needs them.
void settleOutcome(JobResult& result, const SessionEnd& end);

}  // namespace vtctl
