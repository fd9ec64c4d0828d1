#pragma once
// Which search makes a slot's words of what its description quotes, and "Nearest word", which puts
// the nearest word of the same inputs in their place. A slot's inputs are the LocalOutput and STD
// its description quotes, the multiplier recorded at "set" (else derived, as the page shows it)
// and R as typed at "set" (else the 02h word's).
#include <optional>
#include <string>

#include "planning/channel_table.h"
#include "planning/exact_fraction.h"
#include "planning/plan.h"
#include "planning/slot_record.h"

namespace channels {

// nullopt when the description quotes no output or STD, the words are not laid out as their
// registers', or no multiplier is recorded or can be derived.
std::optional<planning::PlanInputs> slotInputs(const planning::ChannelTable& table, int channel,
                                               const planning::SlotRecord& record, char decimalSeparator);

// Whether the window's search and the nearest-word search make the slot's 02h, 03h and 04h words
// and the PD its description quotes of its inputs (both do in integer mode); nullopt when the
// inputs are not known.
struct MadeBy {
    bool window = false, nearest = false;
};
std::optional<MadeBy> madeBy(const planning::ChannelTable& table, int channel, const planning::SlotRecord& record,
                             char decimalSeparator);

// The record of a slot Open… filled from fileName: stale when neither search makes its words of
// its inputs, a nearest word when only the nearest-word search does.
planning::SlotRecord openedRecord(const planning::ChannelTable& table, int channel, std::string fileName,
                                  char decimalSeparator);

// What "Nearest word" does with one slot. A slot that is not set, stale, or without inputs is
// refused; one that holds the nearest word already is left alone.
struct Refinement {
    enum class Outcome { Refined, AlreadyNearest, Refused };
    Outcome outcome = Outcome::Refused;
    uint32_t IntgReg = 0, FracReg = 0;                     // Refined: the nearest word's 03h and 04h words
    std::optional<planning::ExactFraction> errorBeforeHz;  // Refined: of the words replaced
    // For the status log: "ch0 refined to the nearest word: error 1225.471 Hz -> -6.358 Hz."
    std::string text;
};
Refinement refineSlot(const planning::ChannelTable& table, int channel, const planning::SlotRecord& record,
                      char decimalSeparator);

}  // namespace channels
