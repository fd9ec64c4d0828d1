// Which search made a slot's words, "Nearest word" on it, and what its status and details say:
// slots set by either search, refined, stale, opened from a file, and not set.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <vector>

#include "channels/slot_details.h"
#include "channels/slot_status.h"
#include "channels/slot_words.h"
#include "text/cp932.h"

using namespace channels;
using namespace planning;

namespace {

struct Slot {
    ChannelTable table;
    SlotRecord record;
};

PlanInputs withR(const char* r) { return {"12340", "100", "10", r, '.'}; }

// Words of `words`' plan, described as `described`'s: "set", or opened from t.h.
Slot slot(Search search, const PlanInputs& words, const PlanInputs& described, bool fromFile) {
    const PlannedChannel p = planChannelBy(search, {words, {}, {}});
    const std::string description = planChannel({described, {}, {}}).description;
    Slot s;
    s.table.set(0, p.words, text::utf8ToCp932(description));
    s.record = fromFile ? openedRecord(s.table, 0, "t.h", '.')
                        : afterSet({}, SearchRecord{words, {}, {}, p.plan, search}, description, "11:26");
    return s;
}
Slot set(Search search) { return slot(search, withR("3"), withR("3"), false); }
Slot opened(Search search) { return slot(search, withR("3"), withR("3"), true); }

Slot refined(Slot s) {
    const Refinement r = refineSlot(s.table, 0, s.record, '.');
    s.table.IntgReg[0] = r.IntgReg;
    s.table.FracReg[0] = r.FracReg;
    s.record = afterRefine(s.record, *r.errorBeforeHz, "11:27");
    return s;
}

struct Row {
    const char* name;
    std::function<Slot()> make;
    std::string status, refinement;
    uint32_t IntgReg, FracReg;  // refined into; 0 when not refined
    std::vector<std::string> details;
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }
class SlotWords : public testing::TestWithParam<Row> {};

// Found with the R hint: R 10 and 4 have the window search's smallest errors, R 7 and 11 the
// nearest word's (3694.807 and 12344.447 Hz off with the window's search).
const std::string kWindowHint =
    "; with R 10: 300000.012 Hz (error -2.384 Hz, nearest word -2.384 Hz), with R 4: "
    "799999.982 Hz (error 3.576 Hz, nearest word 3.576 Hz).";
const std::string kNearestHint =
    "; with R 7: 271428.568 Hz (error 3694.807 Hz, nearest word -0.681 Hz), with R 11: "
    "118181.814 Hz (error 12344.447 Hz, nearest word 0.867 Hz).";
const char* const kRefined = "ch0 refined to the nearest word: error 1225.471 Hz -> -6.358 Hz.";
const char* const kAlready = "ch0 holds the nearest word already (error -6.358 Hz); left as it is.";
const char* const kStale = "ch0 is not refined: it is stale; search, then set.";

}  // namespace

// vtplan --nearest 12340 100 10 3: N_INT 18, NFrac 8556380, so 03h 06000024 and 04h 09051EB8.
TEST_P(SlotWords, StatusRefinementAndDetails) {
    const Row& row = GetParam();
    const Slot s = row.make();
    EXPECT_EQ(slotStatus(s.record), row.status);
    const Refinement r = refineSlot(s.table, 0, s.record, '.');
    EXPECT_EQ(r.text, row.refinement);
    EXPECT_EQ(r.outcome == Refinement::Outcome::Refined, row.IntgReg != 0);
    EXPECT_EQ(r.IntgReg, row.IntgReg);
    EXPECT_EQ(r.FracReg, row.FracReg);
    const std::string details = slotDetails(s.table, 0, s.record, 100000, '.');
    for (const std::string& part : row.details)
        EXPECT_NE(details.find(part), std::string::npos) << part << '\n' << details;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, SlotWords,
    testing::Values(
        Row{"set", [] { return set(Search::Window); }, "set 11:26", kRefined, 0x06000024, 0x09051EB8,
            {"Multiplier 100, error 1225.471 Hz.\n", kWindowHint,
             "Set 11:26 from the search of LocalOutput 12340 MHz, Multiplier 100, STD 10 MHz, R 3."}},
        Row{"refined", [] { return refined(set(Search::Window)); }, "refined 11:27", kAlready, 0, 0,
            {"Multiplier 100, error 1225.471 Hz -> -6.358 Hz.\n", kNearestHint,
             "R 3; refined 11:27 to the nearest word."}},
        Row{"written, then refined",
            [] {
                Slot s = set(Search::Window);
                s.record.writtenTime = "11:30";
                return refined(s);
            },
            "changed since written", kAlready, 0, 0, {"; written 11:30 (); changed since written."}},
        Row{"set by the nearest-word search", [] { return set(Search::Nearest); }, "set 11:26", kAlready, 0, 0,
            {"Multiplier 100, error -6.358 Hz.\n", kNearestHint, "Set 11:26 from the nearest-word search of"}},
        Row{"set with the words of another search", [] { return slot(Search::Window, withR("2"), withR("3"), false); },
            "stale", kStale, 0, 0, {" Stale: the description quotes other settings than that search had"}},
        Row{"opened, the window's words", [] { return opened(Search::Window); }, "from t.h", kRefined, 0x06000024,
            0x09051EB8, {"Multiplier 100 (derived), error 1225.471 Hz.\n", "\nOpened from t.h."}},
        Row{"opened, the nearest word", [] { return opened(Search::Nearest); }, "nearest word, from t.h", kAlready, 0,
            0, {"Opened from t.h; its words are the nearest word of what its description quotes."}},
        Row{"opened, integer mode: both searches'",
            [] { return slot(Search::Window, {"12000", "100", "10", "1", '.'}, {"12000", "100", "10", "1", '.'}, true); },
            "from t.h", "ch0 holds the nearest word already (error 0.000 Hz); left as it is.", 0, 0, {}},
        Row{"opened, neither search's", [] { return slot(Search::Window, withR("2"), withR("3"), true); }, "stale",
            kStale, 0, 0, {"Stale: neither search makes these words of the output, STD and PD the description quotes"}},
        Row{"not set", [] { return Slot{}; }, "not set", "ch0 is not refined: it is not set.", 0, 0, {"ch0: not set."}}),
    [](const testing::TestParamInfo<Row>& param) {
        std::string name;
        for (const char* c = param.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });
// clang-format on
