#pragma once
// Command-line options of vtplan.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "planning/nearest_word.h"
#include "planning/register_words.h"
#include "planning/spur.h"

namespace vtplan {

struct Options {
    planning::ChargePumpSettings chargePump;
    planning::SdSettings sd;
    std::string localOutput, multiplier, std, r;
    std::string channelsFile;                       // --channels PLAN.csv: a whole table from a list, no operands
    std::string headerFile;                         // --header OUT.h, with --channels only
    int spurWarnHz = planning::kDefaultSpurWarnHz;  // --spur-warn HZ: a nearer spur is marked
    int compareFirst = 0, compareLast = 0;          // --compare-r A-B: the same plan for each R; 0 without
    int givenR = 0;                                 // with --compare-r: the R operand, marked "*"
    // --sweep FROM-TO: outputs from FROM to TO in steps of STEP for every R of a list; its
    // operands STEP MULTIPLIER STD R[,R…] (numbers read with the locale's separator later)
    bool sweep = false;
    std::string sweepFrom, sweepTo, sweepStep;
    std::vector<int64_t> sweepRs;
    bool csv = false;                                    // --csv, with --sweep only: the same as CSV with a header row
    planning::Search search = planning::Search::Window;  // --nearest: the nearest word's, in every mode
    bool help = false;                                   // --help or -h: the usage, nothing else
};

inline constexpr const char* kUsage =
    "usage: vtplan [--help] [--up N] [--down N] [--offset N] [--offset-dir up|down] [--hik on|off] [--seed N] "
    "[--mode N] [--frac-rstb N] [--frac-bypass N] [--spur-warn HZ] [--nearest] [--] LOCALOUTPUT MULTIPLIER STD R\n"
    "       vtplan [the same options] --channels PLAN.csv [--header OUT.h]\n"
    "       vtplan [the same options] --compare-r A-B LOCALOUTPUT MULTIPLIER STD R\n"
    "       vtplan [the same options] [--csv] --sweep FROM-TO [--] STEP MULTIPLIER STD R[,R...]";

// At most this many values of R in one --compare-r.
inline constexpr int kMostComparedR = 1000;

// Options and the four operands; "--" ends the options. The error is the reason of a usage error.
cli::ParseResult<Options> parseOptions(const std::vector<std::string>& args);

// The charge-pump and modulator settings, each set from a text as the option of its name takes it
// (the numbers within their controls' ranges, "up"/"down", "on"/"off").
enum class Setting { Up, Down, Offset, OffsetDir, HiK, Seed, Mode, FracRstb, FracBypass };
// false, changing nothing, when text is no value of the setting.
bool applySetting(Setting setting, const std::string& text, planning::ChargePumpSettings& cp, planning::SdSettings& sd);

}  // namespace vtplan
