#pragma once
// The window's command line: `vtconfig [Qt options] [--] [FILE.h]`, after Qt has taken its own
// options from before the "--".
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kVtconfigUsage =
    "usage: vtconfig [Qt options] [--] [FILE.h]\n"
    "       vtconfig --help";

// What the command line asks of the window.
struct StartOptions {
    std::string headerFile;  // a register header to open at start ("" for none)
    bool help = false;       // --help or -h: the usage, no window
};

// Nothing on a usage error, with the reason in problem.
std::optional<StartOptions> parseStartOptions(const std::vector<std::string>& args, std::string& problem);
