#include "ui/start_options.h"

StartParse parseStartOptions(const std::vector<std::string>& args) {
    enum { kHelp };
    StartParse r;
    std::vector<std::string> operands;
    const auto help = [&r](const cli::Item&) {
        r.options.help = true;
        return std::string();
    };
    r.error = cli::readOptions(args, {{"help", 'h', false, kHelp}}, help, operands);
    if (r.error.empty() && operands.size() > 1) r.error = "one header file at most";
    if (r.error.empty() && !operands.empty()) r.options.headerFile = operands.front();
    return r;
}
