#pragma once
// A channel planned in one call: what the window's search followed by "set" gives for the same
// inputs, for tools that fill a whole table without the window.
#include <optional>
#include <string>

#include "planning/plan.h"
#include "planning/register_words.h"
#include "planning/word_figures.h"

namespace planning {

struct ChannelInputs {
    PlanInputs plan;  // the four texts as typed, and the decimal separator they are written with
    ChargePumpSettings cp = {};
    SdSettings sd = {};
};

struct PlannedChannel {
    FrequencyPlan plan;
    RegisterWords words;
    std::string description;             // UTF-8; the table keeps it in code page 932
    std::optional<WordFigures> figures;  // what the words give, with the inputs as typed
};

// The search, the encoding and the description of "set". Throws text::VtError with the text the
// window's error box would show for the same inputs.
PlannedChannel planChannel(const ChannelInputs& in);

}  // namespace planning
