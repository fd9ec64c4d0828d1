#pragma once
// Command-line options of vtplan.
#include <optional>
#include <string>
#include <vector>

#include "planning/register_words.h"

namespace vtplan {

struct Options {
    planning::ChargePumpSettings chargePump;
    planning::SdSettings sd;
    std::string localOutput, multiplier, std, r;
    bool help = false;  // --help or -h: the usage, nothing else
};

inline constexpr const char* kUsage =
    "usage: vtplan [--help] [--up N] [--down N] [--offset N] [--offset-dir up|down] [--hik on|off] [--seed N] "
    "[--mode N] [--frac-rstb N] [--frac-bypass N] [--] LOCALOUTPUT MULTIPLIER STD R";

// Options and the four operands; "--" ends the options. Nothing on a usage error, with the reason.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& problem);

}  // namespace vtplan
