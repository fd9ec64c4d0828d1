#pragma once
// The nearest-word search, chosen on purpose beside the window's search. The window's search cuts
// PD, the VCO and half of it to whole hertz, so its words can be far from the best the registers
// allow (1225.471 Hz off for 12340 MHz, x100, STD 10 MHz, R 3, where a word 6.358 Hz off exists).
// This one takes the output asked for and STD as typed, every decimal kept, PD = STD / R exactly,
// and picks the count of 2^-24 steps nearest the output: its error is at most half a step,
// PD x multiplier / 2^24. The window's search stays the default everywhere.
#include <cstdint>
#include <optional>

#include "planning/actual_output.h"
#include "planning/channel_plan.h"
#include "planning/exact_fraction.h"

namespace planning {

// N_INT and NFrac of the word nearest askedHz for PD = stdHz / r and the multiplier:
// K = askedHz / (2 x PD x multiplier) x 2^24 rounded, an exact half to the even K; N_INT = K div
// 2^24, NFrac = K mod 2^24 (never 2^24: the carry goes into N_INT). r is what the 02h word holds.
// nullopt where the search refuses: askedHz or the multiplier 0 or below, PD below 1 Hz, N_INT
// beyond the 03h word.
std::optional<WordRatios> nearestRatios(const ExactFraction& askedHz, const ExactFraction& stdHz, int64_t r,
                                        int64_t multiplier);

// planChannel's counterpart: the same inputs, the same failures in the same words where they
// apply (the texts, R 0, PD below 1, a word out of range), the same description, RefReg, CPReg
// and SDReg; IntgReg and FracReg those of the nearest word. plan is the window's search's with
// N_INT and NFrac of the nearest word and FFRAC its exact counterpart, (output / (2 x multiplier)
// - N_INT x PD) x 2^24 rounded. Throws text::VtError.
PlannedChannel planNearestChannel(const ChannelInputs& in);

// The figures of planNearestChannel(in), with its failures, without its texts: what a sweep's
// point shows. stdHz, when the caller has it, is in's STD as typedHz reads it.
std::optional<WordFigures> nearestFigures(const ChannelInputs& in, const std::optional<ExactFraction>& stdHz);

// Which search makes a plan's words: the window's (the default everywhere) or the nearest word's.
enum class Search { Window, Nearest };

// planChannel or planNearestChannel.
PlannedChannel planChannelBy(Search search, const ChannelInputs& in);

// The 02h word's R for the R typed: above kRefDivLimit it holds kRefDivLimit.
int64_t heldR(int64_t r);

}  // namespace planning
