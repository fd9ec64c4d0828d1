#pragma once
// The unit's I/O loop on the pseudo-terminal master: reads what the configurator sends, feeds
// the controller, sends its answers with the configured delay and pacing.
#include <csignal>
#include <string>

#include "tools/vtunit/log_stream.h"
#include "tools/vtunit/options.h"
#include "tools/vtunit/pty_link.h"
#include "tools/vtunit/unit.h"

namespace vtunit {

enum class LineEnd { Signal, HangUp, Error };

// Where the unit's output goes: its log (stdout) and its messages (stderr), neither waited for.
struct Output {
    LogStream& log;
    LogStream& messages;
};

// Runs until a signal that waitMask lets through arrives (delivered only while waiting), the
// unit hangs up, or the terminal fails. Logs every received byte; errors go to the messages.
LineEnd runLine(Pty& pty, const Options& options, const sigset_t& waitMask, Output& output);

}  // namespace vtunit
