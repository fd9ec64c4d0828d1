#pragma once
// A band of outputs, FROM, FROM + STEP, … up to TO, each planned for every R of a list exactly as
// the single plan is: the lines of vtplan --sweep and the points of the "Band" page. The outputs
// step in whole counts of the smallest decimal typed, so the ten-thousandth step lands where
// the first did, and TO is the last output when it falls on a step.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "planning/nearest_word.h"
#include "planning/register_words.h"
#include "planning/word_figures.h"

namespace planning {

// Points times values of R in one sweep.
inline constexpr int64_t kMostSweepLines = 1'000'000;

// What a problem text calls the inputs and the lines of a sweep: vtplan's operands by default,
// the Band page its own labels.
struct SweepWords {
    std::string from = "FROM", to = "TO", step = "STEP", lines = "lines";
};

class SweepSteps {
public:
    // FROM, TO and STEP in MHz as the search reads a decimal number; FROM at least 0, TO not below
    // it, STEP above 0. nullopt with the reason in problem.
    static std::optional<SweepSteps> read(std::string_view from, std::string_view to, std::string_view step,
                                          char decimalSeparator, std::string& problem, const SweepWords& words = {});

    int64_t count() const { return count_; }
    int decimals() const { return decimals_; }
    // The index-th output with every decimal of the texts read ("12336.8" for 12290 + 468 x 0.1).
    std::string text(int64_t index, char decimalSeparator) const;
    double megahertz(int64_t index) const;

private:
    __int128 from_ = 0, step_ = 0;  // in 10^-decimals_ MHz
    int64_t count_ = 0;
    int decimals_ = 0;
};

// "2, 1, 3, 4": whole numbers from 1, as the search reads R, none twice. nullopt with the reason.
std::optional<std::vector<int64_t>> readRList(std::string_view text, std::string& problem);

// centre ± halfWidth MHz as texts with the decimals of centre, the lower end at least 0; nullopt
// when centre is no decimal number of at most 30 digits.
std::optional<std::pair<std::string, std::string>> bandAround(std::string_view centre, int64_t halfWidthMHz,
                                                              char decimalSeparator);

struct SweepInputs {
    SweepSteps steps;
    std::vector<int64_t> rs;
    std::string multiplier, std;  // as typed
    char decimalSeparator = '.';  // of the texts typed and of the outputs planned
    ChargePumpSettings cp = {};
    SdSettings sd = {};
    Search search = Search::Window;
};

// One output planned with one R, as vtplan's single mode plans its operands.
struct SweepPoint {
    int64_t index = 0;  // of the output
    size_t rIndex = 0;
    int64_t r = 0;
    std::optional<WordFigures> figures;  // none when the plan fails
    std::string error;                   // then the window's error text, full stop included
};

// Problems that make a sweep too large for one run; "" when it fits.
std::string sweepSizeProblem(const SweepSteps& steps, size_t rCount, const SweepWords& words = {});

SweepPoint sweepPoint(const SweepInputs& in, int64_t index, size_t rIndex);

// Every output in order and, for each, every R of the list in order; stops early when visit
// returns false. Nothing is kept: a sweep of any length takes the memory of one point.
void sweep(const SweepInputs& in, const std::function<bool(const SweepPoint&)>& visit);

}  // namespace planning
