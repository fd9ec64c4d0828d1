#pragma once
// The window's command line: `vtconfig [Qt options] [--] [FILE.h]`, after Qt has taken its own
// options from before the "--".
#include <string>
#include <vector>

#include "cli/command_line.h"

inline constexpr const char* kVtconfigUsage =
    "usage: vtconfig [Qt options] [--] [FILE.h]\n"
    "       vtconfig --help";

// What the command line asks of the window.
struct StartOptions {
    std::string headerFile;  // a register header to open at start ("" for none)
    bool help = false;       // --help or -h: the usage, no window
};

// The error is the reason of a usage error.
using StartParse = cli::ParseResult<StartOptions>;
StartParse parseStartOptions(const std::vector<std::string>& args);
