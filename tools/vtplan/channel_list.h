#pragma once
// A channel table planned from a list: a CSV file whose first row names its columns and whose
// other rows give one channel each, as the window's inputs would (numbers with "." whatever the
// locale). Required columns: channel, local_output, multiplier, std, r. Optional: up_gain,
// down_gain, offset, offset_dir, hik, seed, mode, frac_rstb, frac_bypass, with the values of
// vtplan's options of the same meaning; absent or empty, they take the defaults given.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "planning/channel_plan.h"
#include "planning/channel_table.h"
#include "planning/nearest_word.h"

namespace vtplan {

// What is wrong on a line of the file (lines count from 1, the header row's included).
struct ListProblem {
    int line = 0;
    std::string text;
};

struct ListedChannel {
    int line = 0;
    int channel = 0;
    planning::ChannelInputs inputs;
};

struct ChannelList {
    std::vector<ListedChannel> channels;  // in the file's order
    std::vector<ListProblem> problems;    // in the file's order; none when the list can be planned
};

// Blank lines are skipped; a field may be quoted ("a,b", "" for a quote) but stays on its line;
// blanks and tabs around a field are no part of it, and no field is longer than 1,024 bytes.
// Empty names after the last one are no columns, and a row may leave their fields out. A list
// without a channel is a problem. Problem texts quote the list's fields escaped and cut to 80
// characters. What a field holds is taken as written, as the window takes what is typed.
ChannelList readChannelList(std::string_view csv, const planning::ChargePumpSettings& cp,
                            const planning::SdSettings& sd);

struct PlannedTable {
    planning::ChannelTable table;                                 // channels not listed stay empty
    std::vector<std::pair<int, planning::PlannedChannel>> plans;  // by channel, ascending
    std::vector<ListProblem> problems;                            // the window's error texts, full stop included
};

// Each listed channel planned as "set" would plan it after the search chosen.
PlannedTable planChannelList(const ChannelList& list, planning::Search search = planning::Search::Window);

}  // namespace vtplan
