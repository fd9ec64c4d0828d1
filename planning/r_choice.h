#pragma once
// The reference divider R is the operator's choice and moves the spurs a long way. The same output planned for other
// values of R, as the window's search (or the nearest word's) and "set" plan it, so the operator sees the choices;
// which R the phase detector takes is his to judge.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "planning/channel_plan.h"
#include "planning/nearest_word.h"

namespace planning {

struct RChoice {
    int64_t r = 0;
    std::optional<PlannedChannel> planned;  // none when the plan fails
    std::string error;                      // then the window's error text, full stop included
    std::optional<WordFigures> nearest;     // clearingRs: the nearest word's for the same inputs and R
};

// in planned with R = r, its R text replaced.
RChoice planWithR(const ChannelInputs& in, int64_t r, Search search = Search::Window);

// Every r from first to last, in order.
std::vector<RChoice> planEachR(const ChannelInputs& in, int64_t first, int64_t last, Search search = Search::Window);

// How far clearingRs looks: up to this many times the own R, never beyond what the 02h word
// holds (kRefDivLimit), and at most kMostOtherRs values of R in all, so that it takes a few
// milliseconds at most whatever R the operator typed.
inline constexpr int64_t kOtherRFactor = 4;
inline constexpr int64_t kMostOtherRs = 1000;

// The values of R clearingRs looks at: those from first to last but ownR.
struct RRange {
    int64_t first = 0, last = 0;  // last < first: none
};
RRange otherRRange(int64_t ownR);

// Of the values of R of otherRRange(ownR) whose words of the search rankBy go through with a spur
// offset of at least spurWarnHz (a plan without a spur has none), the two with the smallest |error|
// of those words (the smaller R of two as good), the better first; each with the window search's
// plan and the nearest word's figures.
std::vector<RChoice> clearingRs(const ChannelInputs& in, int64_t ownR, int64_t spurWarnHz,
                                Search rankBy = Search::Window);
// The figures of c's words of that search; null where they are missing.
const WordFigures* figuresBy(const RChoice& c, Search search);

}  // namespace planning
