#include "ui/start_options.h"

StartParse parseStartOptions(const std::vector<std::string>& args) {
    enum { kHelp };
    StartParse r;
    std::vector<std::string> operands;
    for (const cli::Item& item : cli::readCommandLine(args, {{"help", 'h', false, kHelp}})) {
        using Kind = cli::Item::Kind;
        switch (item.kind) {
            case Kind::Option: r.options.help = true; break;
            case Kind::Operand: operands.push_back(item.text); break;
            case Kind::EndOfOptions: break;
            case Kind::Unknown:
            case Kind::NeedsValue:
            case Kind::TakesNoValue: r.error = cli::optionMistake(item); return r;
        }
    }
    if (operands.size() > 1) {
        r.error = "one header file at most";
        return r;
    }
    if (!operands.empty()) r.options.headerFile = operands.front();
    return r;
}
