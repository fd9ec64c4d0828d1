#pragma once
// What the unit will really put out for a plan's words, exactly. R, N_INT and NFrac are read back
// from the 02h, 03h and 04h words, so an R above 16384 counts as the 16384 the word holds; STD and
// LocalOutput are taken as typed, every decimal kept, not rounded to hertz; PD = STD / R exactly.
// The plan's own PdHz, cut to whole hertz, is what the search shows, not what the unit does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "planning/exact_fraction.h"

namespace planning {

struct WordRatios {
    int64_t r = 0, nInt = 0, nFrac = 0;
};
// nullopt when a word is not laid out as its register's (a slot never set holds 0).
std::optional<WordRatios> readWords(uint32_t refReg, uint32_t intgReg, uint32_t fracReg);

// A frequency typed in MHz, in Hz; nullopt where the search refuses the text.
std::optional<ExactFraction> typedHz(std::string_view mhzText, char decimalSeparator);

// STD / R; nullopt for R 0.
std::optional<ExactFraction> exactPdHz(const ExactFraction& stdHz, int64_t r);

// 2 x PD x (N_INT + NFrac / 2^24) x multiplier, in Hz.
ExactFraction outputHz(const ExactFraction& pdHz, const WordRatios& words, int64_t multiplier);

// ActualHz, ErrorHz and the spurs are written this way: three decimals, an exact half to even.
std::string hzText(const ExactFraction& hz, char decimalSeparator);

}  // namespace planning
