#include "planning/word_figures.h"

namespace planning {

std::optional<WordFigures> wordFigures(const ExactFraction& stdHz, const std::optional<ExactFraction>& askedHz,
                                       std::optional<int64_t> multiplier, const WordRatios& words) {
    const auto pd = exactPdHz(stdHz, words.r);
    if (!pd) return std::nullopt;
    WordFigures f{words, *pd, std::nullopt, std::nullopt, spursOf(*pd, words.nFrac)};
    if (!multiplier) return f;
    f.actualHz = outputHz(*pd, words, *multiplier);
    if (askedHz) f.errorHz = *f.actualHz - *askedHz;
    return f;
}

std::optional<WordFigures> figuresOf(const PlanInputs& typed, int64_t multiplier, const RegisterWords& w) {
    const auto words = readWords(w.RefReg, w.IntgReg, w.FracReg);
    const auto stdHz = typedHz(typed.std, typed.decimalSeparator);
    if (!words || !stdHz) return std::nullopt;
    return wordFigures(*stdHz, typedHz(typed.localOutput, typed.decimalSeparator), multiplier, *words);
}

}  // namespace planning
