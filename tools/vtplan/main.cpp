// vtplan: the frequency plan and register words from the command line.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "options.h"
#include "planning/actual_output.h"
#include "planning/plan.h"
#include "planning/register_words.h"
#include "planning/vt_error.h"

namespace {

constexpr int kExitPlanError = 1;
constexpr int kExitUsage = 2;

char localeDecimalSeparator()
{
    std::setlocale(LC_NUMERIC, "");
    const char* point = std::localeconv()->decimal_point;
    return point != nullptr && point[0] != '\0' ? point[0] : '.';
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string problem;
    const auto options = vtplan::parseOptions(args, problem);
    if (!options) {
        std::cerr << "vtplan: " << problem << '\n' << vtplan::kUsage << '\n';
        return kExitUsage;
    }
    const char sep = localeDecimalSeparator();
    try {
        planning::PlanInputs inputs{options->localOutput, options->multiplier, options->std, options->r, sep};
        const planning::FrequencyPlan plan = planning::findRatios(inputs);
        const planning::PlanLabels labels = planning::planLabels(plan, sep);
        planning::RegisterWords words;
        planning::CalcPLLReg(options->chargePump, options->sd, labels.Label10, labels.Label18, labels.Label20,
                             words);
        std::string out;
        auto line = [&out](const char* name, const std::string& value) {
            out += name;
            out += ' ';
            out += value;
            out += '\n';
        };
        line("VcoHz", labels.Label4);
        line("PdHz", labels.Label11);
        line("VcoMHz", labels.Label9);
        line("R", labels.Label10);
        line("N_INT", labels.Label18);
        line("NFrac", labels.Label20);
        line("FFRAC", labels.Label29);
        line("RefReg", planning::hex8(words.RefReg));
        line("IntgReg", planning::hex8(words.IntgReg));
        line("FracReg", planning::hex8(words.FracReg));
        line("CPReg", planning::hex8(words.CPReg));
        line("SDReg", planning::hex8(words.SDReg));
        line("ActualHz", planning::actualHzText(plan, sep));
        line("ErrorHz", planning::errorHzText(plan, sep));
        std::cout << out << std::flush;
        if (!std::cout) {
            std::cerr << "vtplan: cannot write the plan to standard output\n";
            return kExitPlanError;
        }
        return 0;
    } catch (const planning::VtError& e) {
        std::cerr << planning::withFullStop(e.what()) << '\n';
        return kExitPlanError;
    }
}
