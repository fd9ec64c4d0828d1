#pragma once
// The figures an engineer checks for a channel slot: the output asked for, how far the words'
// output lies from it, and the two spurs. They come from the slot itself (its words and the
// LocalOutput and STD its description quotes), so a slot opened from a file has them too; only
// the multiplier is not in a slot, and is recorded at "set" or else derived.
#include <cstdint>
#include <optional>
#include <string>

#include "planning/actual_output.h"
#include "planning/channel_table.h"
#include "planning/word_figures.h"

namespace channels {

// The whole number nearest askedHz / (2 x STD / R x (N_INT + NFrac / 2^24)), the multiplier that
// puts the synthesizer's output closest to what was asked; nullopt when that is no positive number.
// A guess, not a figure: the hertz the search rounds to are close enough for it.
std::optional<int64_t> derivedMultiplier(int64_t askedHz, int64_t stdHz, const planning::WordRatios& words);

struct SlotFigures {
    std::string outputMHz;              // as the description quotes it; "" when it quotes none
    std::optional<int64_t> multiplier;  // recorded at "set", else derived
    bool multiplierDerived = false;
    std::optional<planning::WordFigures> figures;  // none without words or a quoted STD
    std::string errorHz;                           // in the format of ActualHz; "" when a figure is missing
    std::string spurOffsetHz;                      // as vtplan prints it ("none" without a spur); "" without figures
    bool spurWarned = false;                       // nearer than the threshold
};

// recordedMultiplier: the multiplier of the search whose words "set" stored; nullopt for a slot
// from a file. The description's numbers are read with decimalSeparator, else with ".".
SlotFigures slotFigures(const planning::ChannelTable& table, int channel, std::optional<int64_t> recordedMultiplier,
                        int64_t spurWarnHz, char decimalSeparator);

}  // namespace channels
