#pragma once
// The ratio finder: from the four operator texts to the synthesizer's division ratios.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace planning {

struct PlanInputs {
    std::string localOutput, multiplier, std, r;
    char decimalSeparator = '.';
};

struct FrequencyPlan {
    int64_t LocalOutputHz = 0, Multiplier = 0, StdHz = 0, R = 0, VcoHz = 0, PdHz = 0, N_INT = 0, FFRAC = 0, NFrac = 0;
    double VcoMHz = 0;
};

// The search up to its result labels; throws text::VtError with the runtime's text at the failing step.
FrequencyPlan findRatios(const PlanInputs& inputs);

// A frequency text in MHz as the search reads LocalOutput and STD: Hz, rounded ties to even;
// nullopt for a text the search would refuse.
std::optional<int64_t> tryMegahertzToHz(std::string_view text, char decimalSeparator);

// The texts that the search shows, one per value.
struct PlanLabels {
    std::string vcoHz, pdHz, vcoMHz, r, nInt, nFrac, fFrac;
};
PlanLabels planLabels(const FrequencyPlan& plan, char decimalSeparator);

}  // namespace planning
