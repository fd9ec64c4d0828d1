#include "options.h"

#include <charconv>
#include <functional>
#include <map>

namespace vtplan {
namespace {

std::optional<int> parseInt(const std::string& text, int lowest, int highest)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<int> parseChoice(const std::string& text, const char* first, const char* second)
{
    if (text == first)
        return 0;
    if (text == second)
        return 1;
    return std::nullopt;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& problem)
{
    Options o;
    using Setter = std::function<bool(const std::string&)>;
    auto number = [](int& field, int lowest, int highest) {
        return Setter([&field, lowest, highest](const std::string& v) {
            const auto n = parseInt(v, lowest, highest);
            if (n)
                field = *n;
            return n.has_value();
        });
    };
    auto choice = [](int& field, const char* first, const char* second) {
        return Setter([&field, first, second](const std::string& v) {
            const auto n = parseChoice(v, first, second);
            if (n)
                field = *n;
            return n.has_value();
        });
    };
    // Scroll bars run 0..127; a radio group may have no item selected (-1).
    const std::map<std::string, Setter> setters{
        {"--up", number(o.chargePump.up, 0, 127)},
        {"--down", number(o.chargePump.down, 0, 127)},
        {"--offset", number(o.chargePump.offset, 0, 127)},
        {"--offset-dir", choice(o.chargePump.offsetDir, "up", "down")},
        {"--hik", choice(o.chargePump.hiK, "on", "off")},
        {"--seed", number(o.sd.seed, -1, 3)},
        {"--mode", number(o.sd.mode, -1, 3)},
        {"--frac-rstb", number(o.sd.fracRstb, -1, 1)},
        {"--frac-bypass", number(o.sd.fracBypass, -1, 1)},
    };

    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const auto setter = setters.find(name);
        if (setter == setters.end()) {
            problem = "unknown option " + arg;
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                problem = "option " + name + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!setter->second(*value)) {
            problem = "bad value for " + name + ": " + *value;
            return std::nullopt;
        }
    }
    if (o.help)
        return o;
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
