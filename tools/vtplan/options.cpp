#include "options.h"

#include <charconv>

#include "tools/cli/command_line.h"

namespace vtplan {
namespace {

enum Id { kHelp, kUp, kDown, kOffset, kOffsetDir, kHiK, kSeed, kMode, kFracRstb, kFracBypass };

const std::vector<cli::OptionSpec> kSpecs{
    {"help", 'h', false, kHelp},
    // the charge pump
    {"up", 0, true, kUp},
    {"down", 0, true, kDown},
    {"offset", 0, true, kOffset},
    {"offset-dir", 0, true, kOffsetDir},
    {"hik", 0, true, kHiK},
    // the sigma-delta modulator
    {"seed", 0, true, kSeed},
    {"mode", 0, true, kMode},
    {"frac-rstb", 0, true, kFracRstb},
    {"frac-bypass", 0, true, kFracBypass},
};

bool takeInt(const std::string& text, int& field, int lowest, int highest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lowest || value > highest) return false;
    field = value;
    return true;
}

bool takeChoice(const std::string& text, int& field, const char* first, const char* second) {
    if (text != first && text != second) return false;
    field = text == first ? 0 : 1;
    return true;
}

// Sets what the option says; false for a value it does not take. Scroll bars run 0..127; a
// radio group may have no item selected (-1).
bool apply(const cli::Item& item, Options& o) {
    const std::string& v = item.value;
    switch (item.id) {
        case kHelp: o.help = true; return true;
        case kUp: return takeInt(v, o.chargePump.up, 0, 127);
        case kDown: return takeInt(v, o.chargePump.down, 0, 127);
        case kOffset: return takeInt(v, o.chargePump.offset, 0, 127);
        case kOffsetDir: return takeChoice(v, o.chargePump.offsetDir, "up", "down");
        case kHiK: return takeChoice(v, o.chargePump.hiK, "on", "off");
        case kSeed: return takeInt(v, o.sd.seed, -1, 3);
        case kMode: return takeInt(v, o.sd.mode, -1, 3);
        case kFracRstb: return takeInt(v, o.sd.fracRstb, -1, 1);
        case kFracBypass: return takeInt(v, o.sd.fracBypass, -1, 1);
    }
    return false;
}

// The reason an item makes the line unusable, or "".
std::string problemOf(const cli::Item& item, Options& o) {
    using Kind = cli::Item::Kind;
    switch (item.kind) {
        case Kind::Option: return apply(item, o) ? std::string() : "bad value for " + item.name + ": " + item.value;
        case Kind::NeedsValue: return "option " + item.name + " needs a value";
        case Kind::Unknown:
        case Kind::TakesNoValue: return "unknown option " + item.text;
        case Kind::Operand:
        case Kind::EndOfOptions: break;
    }
    return {};
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& problem) {
    Options o;
    std::vector<std::string> operands;
    for (const cli::Item& item : cli::readCommandLine(args, kSpecs)) {
        problem = problemOf(item, o);
        if (!problem.empty()) return std::nullopt;
        if (item.kind == cli::Item::Kind::Operand) operands.push_back(item.text);
    }
    if (o.help) return o;
    if (operands.size() != 4) {
        problem = "expected LOCALOUTPUT MULTIPLIER STD R";
        return std::nullopt;
    }
    o.localOutput = operands[0];
    o.multiplier = operands[1];
    o.std = operands[2];
    o.r = operands[3];
    return o;
}

}  // namespace vtplan
