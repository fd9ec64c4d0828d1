#pragma once
// The ratio finder: from the four operator texts to the synthesizer's division ratios.
#include <cstdint>
#include <string>

namespace planning {

struct PlanInputs {
    std::string localOutput, multiplier, std, r;
    char decimalSeparator = '.';
};

struct FrequencyPlan {
    int64_t LocalOutputHz = 0, Multiplier = 0, StdHz = 0, R = 0, VcoHz = 0, PdHz = 0, N_INT = 0, FFRAC = 0,
            NFrac = 0;
    double VcoMHz = 0;
};

// The search up to its result labels; throws text::VtError with the runtime's text at the failing step.
FrequencyPlan findRatios(const PlanInputs& inputs);

// General number format of VcoMHz: 15 significant digits ("123.4", "0.0001", "1E-5", "1.5E20").
std::string formatGeneral(double v, char decimalSeparator);
std::string formatInt(int64_t v);
std::string hex8(uint32_t word);  // "04000004"

// The label texts that the search writes, in the window's control names.
struct PlanLabels {
    std::string Label4, Label11, Label9, Label10, Label18, Label20, Label29, Label32;
};
PlanLabels planLabels(const FrequencyPlan& plan, char decimalSeparator);

}  // namespace planning
