#pragma once
// A command on several ports at once: one thread, serial component and link per port.
#include <string>
#include <vector>

#include "tools/vtctl/port_job.h"

namespace vtctl {

// Runs request on every port at once, each on a thread of its own, and returns the results in
// the order of ports once every port has finished; one port's failure never stops another. A
// signal that would end the program (SIGINT, SIGTERM, SIGUSR1, ...) meanwhile ends every port's
// wait and closes its port. A write shows
// its progress on stderr when that is a terminal.
std::vector<JobResult> runOnPorts(const Request& request, const std::vector<std::string>& ports);

}  // namespace vtctl
