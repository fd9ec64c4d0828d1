// Line-error marks in the received stream become events, error bits and data bytes.
#include <gtest/gtest.h>

#include <vector>

#include "serial/posix/line_marks.h"
#include "serial/posix/modem_lines.h"

using namespace commapi;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Fed {
    Bytes data;
    DWORD events = 0;
    DWORD errors = 0;
};

// Feeds the chunks one after another, in place, as the port does.
Fed feed(LineMarkReader& r, std::vector<Bytes> chunks, bool replace = false, char errorChar = '?') {
    Fed f;
    for (Bytes& c : chunks) {
        const auto res = r.feed(c.data(), c.size(), c.data(), replace, errorChar);
        f.data.insert(f.data.end(), c.begin(), c.begin() + static_cast<long>(res.bytes));
        f.events |= res.events;
        f.errors |= res.errors;
    }
    return f;
}

}  // namespace

TEST(LineMarks, DoubledFFIsOneDataByte) {
    LineMarkReader r;
    const Fed f = feed(r, {{0x01, 0xFF, 0xFF, 0x02}});
    EXPECT_EQ(f.data, (Bytes{0x01, 0xFF, 0x02}));
    EXPECT_EQ(f.events, 0u);
}

TEST(LineMarks, BreakAndErroredCharacterRaiseTheirEvents) {
    LineMarkReader r;
    Fed f = feed(r, {{0x41, 0xFF, 0x00, 0x00, 0x42}});
    EXPECT_EQ(f.data, (Bytes{0x41, 0x42}));
    EXPECT_EQ(f.events, kEvBreak);
    EXPECT_EQ(f.errors, kCeBreak);
    f = feed(r, {{0xFF, 0x00, 0x55}});
    EXPECT_EQ(f.data, Bytes{0x55});
    EXPECT_EQ(f.events, kEvErr);
    EXPECT_EQ(f.errors, kCeFrame);
}

TEST(LineMarks, ErrorCharReplacesAnErroredCharacterWhenAsked) {
    LineMarkReader r;
    EXPECT_EQ(feed(r, {{0xFF, 0x00, 0x55}}, true, '?').data, Bytes{'?'});
}

TEST(LineMarks, MarksSplitAcrossReadsAreJoined) {
    LineMarkReader r;
    const Fed f = feed(r, {{0x10, 0xFF}, {0xFF}, {0xFF}, {0x00}, {0x00, 0x20}});
    EXPECT_EQ(f.data, (Bytes{0x10, 0xFF, 0x20}));
    EXPECT_EQ(f.events, kEvBreak);
}

TEST(ModemLines, CountedTransitionsBecomeEventsEvenWhenTheLevelIsBack) {
    LineCounts was;
    was.counted = true;
    LineCounts now = was;
    now.cts = 2;  // went off and on again between two looks
    now.ring = 1;
    DWORD errors = 0;
    EXPECT_EQ(lineEvents(was, now, errors), kEvCts | kEvRing);
    now = was;
    now.overrun = 3;
    EXPECT_EQ(lineEvents(was, now, errors), kEvErr);
    EXPECT_EQ(errors, kCeOverrun);
}

TEST(ModemLines, WithoutCountsLevelChangesAndTheRingsLeadingEdgeCount) {
    LineCounts was;
    LineCounts now;
    now.dsrOn = true;
    now.rlsdOn = true;
    now.ringOn = true;
    DWORD errors = 0;
    EXPECT_EQ(lineEvents(was, now, errors), kEvDsr | kEvRlsd | kEvRing);
    EXPECT_EQ(lineEvents(now, was, errors), kEvDsr | kEvRlsd) << "the ring going off is no event";
}
