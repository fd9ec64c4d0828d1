#include "options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "cli/command_line.h"
#include "planning/choices.h"
#include "planning/number_text.h"
#include "planning/sweep.h"

namespace vtplan {
namespace {

// A setting's option has the setting's number as its id; the other options' ids lie beyond.
constexpr int id(Setting s) { return static_cast<int>(s); }
enum Id { kHelp = 100, kChannels, kHeader, kSpurWarn, kCompareR, kSweep, kCsv, kNearest };

const std::vector<cli::OptionDef> kOptionDefs{
    {"help", 'h', false, kHelp},
    // the charge pump
    {"up", 0, true, id(Setting::Up)},
    {"down", 0, true, id(Setting::Down)},
    {"offset", 0, true, id(Setting::Offset)},
    {"offset-dir", 0, true, id(Setting::OffsetDir)},
    {"hik", 0, true, id(Setting::HiK)},
    // the sigma-delta modulator
    {"seed", 0, true, id(Setting::Seed)},
    {"mode", 0, true, id(Setting::Mode)},
    {"frac-rstb", 0, true, id(Setting::FracRstb)},
    {"frac-bypass", 0, true, id(Setting::FracBypass)},
    // the search, the spur warning, and R compared
    {"nearest", 0, false, kNearest},
    {"spur-warn", 0, true, kSpurWarn},
    {"compare-r", 0, true, kCompareR},
    // a band of outputs
    {"sweep", 0, true, kSweep},
    {"csv", 0, false, kCsv},
    // a whole table
    {"channels", 0, true, kChannels},
    {"header", 0, true, kHeader},
};

// An item of a radio group named by its caption in lower case ("up", "off").
template <std::size_t N>
bool takeChoice(const std::string& text, int& field, const std::array<planning::Choice, N>& choices) {
    for (std::size_t i = 0; i < N; ++i) {
        std::string lower(choices[i].caption);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (text != lower) continue;
        field = static_cast<int>(i);
        return true;
    }
    return false;
}

// "A-B" with 1 <= A <= B and at most kMostComparedR values.
bool takeRange(const std::string& text, int& first, int& last) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    int a = 0, b = 0;
    if (!cli::takeInt(text.substr(0, dash), a, 1, std::numeric_limits<int>::max()) ||
        !cli::takeInt(text.substr(dash + 1), b, a, std::numeric_limits<int>::max()) || b - a >= kMostComparedR)
        return false;
    first = a;
    last = b;
    return true;
}

// "FROM-TO": split at the first '-' that is neither a leading sign nor an exponent's.
bool takeBand(const std::string& text, Options& o) {
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '-' || text[i - 1] == 'e' || text[i - 1] == 'E') continue;
        o.sweep = true;
        o.sweepFrom = text.substr(0, i);
        o.sweepTo = text.substr(i + 1);
        return !o.sweepTo.empty();
    }
    return false;
}

// Sets what the option says; false for a value it does not take.
bool apply(const cli::Item& item, Options& o) {
    switch (item.id) {
        case kHelp: o.help = true; return true;
        case kChannels: o.channelsFile = item.value; return !item.value.empty();
        case kHeader: o.headerFile = item.value; return !item.value.empty();
        case kSpurWarn: return cli::takeInt(item.value, o.spurWarnHz, 0, std::numeric_limits<int>::max());
        case kCompareR: return takeRange(item.value, o.compareFirst, o.compareLast);
        case kSweep: return takeBand(item.value, o);
        case kCsv: o.csv = true; return true;
        case kNearest: o.search = planning::Search::Nearest; return true;
        default: return applySetting(static_cast<Setting>(item.id), item.value, o.chargePump, o.sd);
    }
}

std::string sweepOperandProblem(Options& o, const std::vector<std::string>& operands) {
    if (!o.headerFile.empty()) return "--header needs --channels";
    if (operands.size() != 4) return "expected STEP MULTIPLIER STD R[,R...] after --sweep FROM-TO";
    o.sweepStep = operands[0];
    o.multiplier = operands[1];
    o.std = operands[2];
    std::string problem;
    if (const auto rs = planning::readRList(operands[3], problem)) o.sweepRs = *rs;
    return problem;
}

// The operands and the table options together; "" when they fit.
std::string operandProblem(Options& o, const std::vector<std::string>& operands) {
    if (o.csv && !o.sweep) return "--csv needs --sweep";
    if (o.sweep && (!o.channelsFile.empty() || o.compareFirst > 0))
        return "--sweep goes with neither --channels nor --compare-r";
    if (o.sweep) return sweepOperandProblem(o, operands);
    if (!o.channelsFile.empty() && o.compareFirst > 0) return "--channels and --compare-r do not go together";
    if (!o.channelsFile.empty()) return operands.empty() ? "" : "--channels takes no LOCALOUTPUT MULTIPLIER STD R";
    if (!o.headerFile.empty()) return "--header needs --channels";
    if (operands.size() != 4) return "expected LOCALOUTPUT MULTIPLIER STD R";
    o.localOutput = operands[0];
    o.multiplier = operands[1];
    o.std = operands[2];
    o.r = operands[3];
    // Compared, R only says which line is the operator's own; read as the window reads R.
    if (o.compareFirst == 0) return {};
    // Not through `?:`, whose optional GCC 12 at -Os takes for maybe uninitialized.
    const auto r = planning::tryParseWhole(o.r);
    if (!planning::tryParseDecimal(o.r, '.') || !r || *r < 1)
        return "R must be a whole number from 1 to " + std::to_string(std::numeric_limits<int>::max()) +
               " with --compare-r: " + o.r;
    o.givenR = *r;
    return {};
}

// What an option of ours takes, said after a value it does not: " (…)", or "".
std::string allowedValues(int id) {
    const std::string most = std::to_string(std::numeric_limits<int>::max());
    switch (id) {
        case kSpurWarn: return " (a whole number of Hz from 0 to " + most + ")";
        case kCompareR:
            return " (A-B, whole numbers with 1 <= A <= B, at most " + std::to_string(kMostComparedR) + " values)";
        default: return {};
    }
}

// Sets what the option says; what is wrong with its value, or "".
std::string valueProblem(const cli::Item& item, Options& o) {
    if (apply(item, o)) return {};
    return "bad value for " + item.name + ": " + item.value + allowedValues(item.id);
}

}  // namespace

cli::ParseResult<Options> parseOptions(const std::vector<std::string>& args) {
    cli::ParseResult<Options> r;
    std::vector<std::string> operands;
    r.error = cli::readOptions(
        args, kOptionDefs, [&r](const cli::Item& item) { return valueProblem(item, r.options); }, operands);
    if (!r.error.empty() || r.options.help) return r;
    r.error = operandProblem(r.options, operands);
    return r;
}

// A current is 0 … kCurrentStepsMax steps, as its scroll bar runs; a radio group may have no item
// selected (-1).
bool applySetting(Setting setting, const std::string& v, planning::ChargePumpSettings& cp, planning::SdSettings& sd) {
    switch (setting) {
        case Setting::Up: return cli::takeInt(v, cp.up, 0, planning::kCurrentStepsMax);
        case Setting::Down: return cli::takeInt(v, cp.down, 0, planning::kCurrentStepsMax);
        case Setting::Offset: return cli::takeInt(v, cp.offset, 0, planning::kCurrentStepsMax);
        case Setting::OffsetDir: return takeChoice(v, cp.offsetDir, planning::kOffsetDirChoices);
        case Setting::HiK: return takeChoice(v, cp.hiK, planning::kHiKChoices);
        case Setting::Seed: return cli::takeInt(v, sd.seed, -1, planning::lastChoice(planning::kSeedChoices));
        case Setting::Mode: return cli::takeInt(v, sd.mode, -1, planning::lastChoice(planning::kModeChoices));
        case Setting::FracRstb:
            return cli::takeInt(v, sd.fracRstb, -1, planning::lastChoice(planning::kFracRstbChoices));
        case Setting::FracBypass:
            return cli::takeInt(v, sd.fracBypass, -1, planning::lastChoice(planning::kFracBypassChoices));
    }
    return false;
}

}  // namespace vtplan
