#pragma once
// The figures an engineer checks for a channel slot: the output asked for, how far the words'
// output lies from it, and how close the nearest integer-boundary spur sits. They come from the
// slot itself (its words and the description's LocalOutput and PD), so a slot opened from a file
// has them too; only the multiplier is not in a slot, and is recorded at "set" or else derived.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "planning/channel_table.h"

namespace planning {

// The LocalOutput text the description quotes, as typed (before its first "MHz, std=").
std::optional<std::string> outputFromDescription(std::string_view descriptionUtf8);

// The whole number nearest askedHz / (2 x PD x (N_INT + NFrac / 2^24)), the multiplier that puts
// the synthesizer's output closest to what was asked; nullopt when that is no positive number.
std::optional<int64_t> derivedMultiplier(int64_t askedHz, int64_t pdHz, int64_t nInt, int64_t nFrac);

struct SlotFigures {
    std::string outputMHz;              // as the description quotes it; "" when it quotes none
    std::optional<int64_t> multiplier;  // recorded at "set", else derived
    bool multiplierDerived = false;
    std::string errorHz;       // actual - asked in the format of ActualHz; "" when a figure is missing
    std::string spurOffsetHz;  // as vtplan prints it ("none" in integer mode); "" when PD or NFrac is missing
    bool spurWarned = false;   // nearer than the threshold
};

// recordedMultiplier: the multiplier of the search whose words "set" stored; nullopt for a slot
// from a file. The description's numbers are read with decimalSeparator, else with ".".
SlotFigures slotFigures(const ChannelTable& table, int channel, std::optional<int64_t> recordedMultiplier,
                        int64_t spurWarnHz, char decimalSeparator);

}  // namespace planning
