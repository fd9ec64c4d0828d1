#pragma once
// The unit's I/O loop on the pseudo-terminal master: reads what the configurator sends, feeds
// the controller, sends its answers with the configured delay and pacing.
#include <csignal>
#include <string>

#include "tools/vtunit/options.h"
#include "tools/vtunit/pty_link.h"
#include "tools/vtunit/unit.h"

namespace vtunit {

enum class LineEnd { Signal, HangUp, Error };

// Runs until a blocked signal in stopSignals arrives (delivered only while waiting), the unit
// hangs up, or the terminal fails. Logs to stdout; errors go to stderr.
LineEnd runLine(Pty& pty, const Options& options, const sigset_t& waitMask);

}  // namespace vtunit
