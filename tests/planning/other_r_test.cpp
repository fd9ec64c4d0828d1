// The values of R the Channels page offers to clear the spur threshold: only values the 02h word
// holds, and a search that stays short whatever R the operator typed.
#include <gtest/gtest.h>

#include <vector>

#include "planning/r_choice.h"

namespace {

using planning::ChannelInputs;

ChannelInputs inputs(const char* out, const char* mult, const char* std) {
    ChannelInputs in;
    in.plan = {out, mult, std, "1", '.'};
    return in;
}

// The offered are ranked by |error| (R 2's 26.226 Hz before R 1's 33.379 Hz), and past 16384 by it
// too: 16000 divides STD into a whole PD.
TEST(OtherR, OnlyRegisterValuesBestErrorFirstWithinABoundedRange) {
    const ChannelInputs clearing = inputs("12340", "100", "10"), never = inputs("9876.54321", "48", "19.2");
    struct Row {
        const ChannelInputs& in;
        int64_t ownR;
        int64_t first, last;  // the range looked at
        std::vector<int64_t> offered;
    } rows[] = {
        {clearing, 3, 1, 12, {2, 1}},
        {clearing, 1, 2, 4, {2}},
        // Beyond what the word holds: from its end down, not from the R typed.
        {clearing, 20000, 15385, 16384, {16000, 16207}},
        {clearing, 1000000000, 15385, 16384, {16000, 16207}},
        // Nothing clears: the whole range is tried, a thousand values around the own R.
        {never, 4096, 3596, 4596, {}},
        {never, 1000000000, 15385, 16384, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ownR);
        const planning::RRange range = planning::otherRRange(row.ownR);
        EXPECT_EQ(range.first, row.first);
        EXPECT_EQ(range.last, row.last);
        std::vector<int64_t> offered;
        for (const planning::RChoice& c : planning::clearingRs(row.in, row.ownR, 1000000)) offered.push_back(c.r);
        EXPECT_EQ(offered, row.offered);
    }
}

}  // namespace
