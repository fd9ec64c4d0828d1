#include "ui/start_options.h"

#include "cli/command_line.h"

std::optional<StartOptions> parseStartOptions(const std::vector<std::string>& args, std::string& problem) {
    enum { kHelp };
    StartOptions start;
    std::vector<std::string> operands;
    for (const cli::Item& item : cli::readCommandLine(args, {{"help", 'h', false, kHelp}})) {
        using Kind = cli::Item::Kind;
        switch (item.kind) {
            case Kind::Option: start.help = true; break;
            case Kind::Operand: operands.push_back(item.text); break;
            case Kind::EndOfOptions: break;
            case Kind::Unknown:
            case Kind::NeedsValue:
            case Kind::TakesNoValue: problem = "unknown option " + item.text; return std::nullopt;
        }
    }
    if (operands.size() > 1) {
        problem = "one header file at most";
        return std::nullopt;
    }
    if (!operands.empty()) start.headerFile = operands.front();
    return start;
}
