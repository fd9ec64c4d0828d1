#pragma once
// What the window knows of each channel slot beyond its words and description: where the slot
// came from, the search that made its words, whether the description still quotes that search,
// and whether the unit holds it. The Channels page's status and figures come from it.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "planning/channel_table.h"
#include "planning/exact_fraction.h"
#include "planning/nearest_word.h"
#include "planning/plan.h"
#include "planning/register_words.h"

namespace planning {

// A search that went through to its five words: its inputs as typed, the choices it encoded, its
// plan, and which search made the 03h and 04h words (the Band page's "Use nearest word").
struct SearchRecord {
    PlanInputs inputs;
    ChargePumpSettings cp;
    SdSettings sd;
    FrequencyPlan plan;
    Search search = Search::Window;
};

struct SlotRecord {
    enum class Source { None, Set, File };
    Source source = Source::None;
    std::string fileName;                // File: the name of the file opened
    std::string setTime;                 // Set: "HH:MM"
    std::optional<SearchRecord> search;  // Set: the search whose words were stored, if one went through
    bool stale = false;                  // the description quotes other settings than the words' search
    bool nearestWord = false;            // the words are the nearest word of what the description quotes
    std::string refinedTime;             // "Nearest word" put the nearest word in: "HH:MM"
    // Then the error of the words it replaced.
    std::optional<ExactFraction> errorBeforeRefineHz;
    std::string writtenTime;           // after a Write in which every byte got its reply: "HH:MM"
    std::string writtenPort;           // and the port it went through ("com1")
    bool changedSinceWritten = false;  // a "set" or "Nearest word" came after that Write
    bool savedSinceSet = false;        // set or refined: the table went into a file since (Save…, "header file")
};
using SlotRecords = std::array<SlotRecord, ChannelTable::kChannels>;

// Whether "set" would write this description for the words of this search: the description
// quotes LocalOutput, STD, PD and the charge-pump and SD choices, all of which the search fixed.
bool describesSearch(const SearchRecord& search, std::string_view descriptionUtf8);

// The record of a slot after "set": search is the last search that went through (none when the
// words were not made by one, before the first search or after a failed encoding).
SlotRecord afterSet(const SlotRecord& before, const std::optional<SearchRecord>& search,
                    std::string_view descriptionUtf8, std::string time);

// The record after "Nearest word" replaced the words with the nearest word of the same inputs:
// errorBeforeHz is the error of the words replaced.
SlotRecord afterRefine(const SlotRecord& before, const ExactFraction& errorBeforeHz, std::string time);

// The slots set or refined in this run that are neither in a file nor in the unit: nothing brings
// them back once the table is replaced.
std::vector<int> unkeptSlots(const SlotRecords& records);
// After the whole table went into a file.
void markSaved(SlotRecords& records);

// After a Write in which every byte got its reply: the slots that were filled and still hold the
// words sent (a "set" or "Nearest word" may have run while the Write waited) are written.
void markWritten(SlotRecords& records, const ChannelTable& sent, const ChannelTable& now, const std::string& time,
                 const std::string& port);

}  // namespace planning
