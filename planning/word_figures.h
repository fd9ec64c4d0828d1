#pragma once
// The figures of a plan's words that vtplan prints after them and the Channels page shows: the
// output they really give, its error from the output asked for and the two spurs, all exact.
#include <cstdint>
#include <optional>

#include "planning/actual_output.h"
#include "planning/plan.h"
#include "planning/register_words.h"
#include "planning/spur.h"

namespace planning {

struct WordFigures {
    WordRatios words;
    ExactFraction pdHz;                     // STD / R of the 02h word
    std::optional<ExactFraction> actualHz;  // with a multiplier
    std::optional<ExactFraction> errorHz;   // with a multiplier and the output asked for
    Spurs spurs;
};

// stdHz and askedHz as typedHz reads them; nullopt for R 0.
std::optional<WordFigures> wordFigures(const ExactFraction& stdHz, const std::optional<ExactFraction>& askedHz,
                                       std::optional<int64_t> multiplier, const WordRatios& words);

// For the words the search and the encoding made of typed (always there for such words).
std::optional<WordFigures> figuresOf(const PlanInputs& typed, int64_t multiplier, const RegisterWords& words);

}  // namespace planning
