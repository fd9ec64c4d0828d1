// vtplan: the frequency plan and register words from the command line.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "options.h"
#include "planning/actual_output.h"
#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/register_words.h"
#include "text/decimal_separator.h"

namespace {

constexpr int kExitPlanError = 1;
constexpr int kExitUsage = 2;

void addLine(std::string& out, const char* name, const std::string& value) {
    out += name;
    out += ' ';
    out += value;
    out += '\n';
}

// Writes what has been worked out; false when standard output cannot take it.
bool emit(const std::string& out) {
    std::cout << out << std::flush;
    if (std::cout) return true;
    std::cerr << "vtplan: cannot write the plan to standard output\n";
    return false;
}

// The plan lines, then the words. When the encoding fails the plan lines are still written,
// as the window keeps the labels that the search had set, and the error follows.
int run(const vtplan::Options& options, char sep) {
    planning::PlanInputs inputs{options.localOutput, options.multiplier, options.std, options.r, sep};
    const planning::FrequencyPlan plan = planning::findRatios(inputs);
    const planning::PlanLabels labels = planning::planLabels(plan, sep);
    std::string out;
    addLine(out, "VcoHz", labels.Label4);
    addLine(out, "PdHz", labels.Label11);
    addLine(out, "VcoMHz", labels.Label9);
    addLine(out, "R", labels.Label10);
    addLine(out, "N_INT", labels.Label18);
    addLine(out, "NFrac", labels.Label20);
    addLine(out, "FFRAC", labels.Label29);
    try {
        planning::RegisterWords words;
        planning::CalcPLLReg(options.chargePump, options.sd, labels.Label10, labels.Label18, labels.Label20, words);
        addLine(out, "RefReg", planning::hex8(words.RefReg));
        addLine(out, "IntgReg", planning::hex8(words.IntgReg));
        addLine(out, "FracReg", planning::hex8(words.FracReg));
        addLine(out, "CPReg", planning::hex8(words.CPReg));
        addLine(out, "SDReg", planning::hex8(words.SDReg));
        addLine(out, "ActualHz", planning::actualHzText(plan, sep));
        addLine(out, "ErrorHz", planning::errorHzText(plan, sep));
    } catch (const text::VtError&) {
        emit(out);
        throw;
    }
    return emit(out) ? 0 : kExitPlanError;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string problem;
    const auto options = vtplan::parseOptions(args, problem);
    if (!options) {
        std::cerr << "vtplan: " << problem << '\n' << vtplan::kUsage << '\n';
        return kExitUsage;
    }
    if (options->help) {
        std::cout << vtplan::kUsage << '\n' << std::flush;
        return std::cout ? 0 : kExitPlanError;
    }
    try {
        std::setlocale(LC_NUMERIC, "");
        return run(*options, text::localeDecimalSeparator());
    } catch (const text::VtError& e) {
        std::cerr << text::withFullStop(e.what()) << '\n';
        return kExitPlanError;
    }
}
