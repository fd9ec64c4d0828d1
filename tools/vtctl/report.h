#pragma once
// What vtctl says about a port's result: the reason of a failure, the summary line of a port.
#include <cstdint>
#include <string>

#include "tools/vtctl/port_job.h"

namespace vtctl {

// Milliseconds as seconds with three decimals, whatever the locale: 2004 gives "2.004".
std::string secondsText(std::int64_t ms);

// Why the command failed on port; "" when it was done.
std::string failureText(const std::string& port, const JobResult& result);

// "com1: done in 0.352 s", "com4: failed after 2.004 s: No reply from the unit".
std::string summaryLine(const std::string& port, const JobResult& result);

}  // namespace vtctl
