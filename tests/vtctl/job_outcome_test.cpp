// How a port's job ended, as vtctl says it: one row for each way, in the order they win.
#include <gtest/gtest.h>

#include "tools/vtctl/job_outcome.h"
#include "tools/vtctl/report.h"

using namespace vtctl;
using device::Outcome;

TEST(JobOutcome, EachWayAJobEndsIsSaidAsSuch) {
    const struct {
        SessionEnd end;
        const char* said;
    } rows[] = {
        {{Command::Write, false, false, Outcome::Reply, IdleEnd::Over, 130, 10}, ""},
        {{Command::Write, false, false, Outcome::NotAllSent, IdleEnd::Over, 129, 10},
         "a byte could not be sent to the unit, though it answered every one that was"},
        {{Command::Write, true, false, Outcome::NoLine, IdleEnd::Over, 13, 10},
         "interrupted: the unit is left in the middle of a write, 117 bytes short: write it again"},
        {{Command::Write, true, true, Outcome::NoLine, IdleEnd::Over, 129, 10},
         "interrupted: the unit is left in the middle of a write, 1 byte short: write it again"},
        {{Command::Write, true, false, Outcome::Reply, IdleEnd::Over, 130, 10}, "interrupted"},
        {{Command::Init, true, false, Outcome::NoLine, IdleEnd::Over, 1, 10}, "interrupted"},
        {{Command::Init, false, true, Outcome::NoLine, IdleEnd::Over, 1, 10},
         "No reply from the unit (the device has gone)"},
        {{Command::Dump, false, true, Outcome::Reply, IdleEnd::Gone, 2, 10}, "the device has gone"},
        {{Command::Init, false, false, Outcome::TimedOut, IdleEnd::Over, 1, 10}, "No reply from the unit"},
        {{Command::Send, false, false, Outcome::Reply, IdleEnd::TimedOut, 1, 7},
         "the reply went on past 7 s (--timeout)"},
        {{Command::Dump, false, false, Outcome::NotAllSent, IdleEnd::TimedOut, 1, 7},
         "a byte could not be sent to the unit, though it answered every one that was"},
        {{Command::Send, false, false, Outcome::Reply, IdleEnd::KeptSending, 1, 10},
         "the unit never went quiet (65536 bytes and more)"},
        {{Command::Dump, false, false, Outcome::Reply, IdleEnd::Over, 2, 10}, ""},
    };
    for (const auto& row : rows) {
        JobResult r;
        settleOutcome(r, row.end);
        EXPECT_EQ(failureText("com1", r), row.said);
    }
}
