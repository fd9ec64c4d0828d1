#pragma once
// A sweep's points as text: vtplan --sweep's lines, or the same as CSV for a spreadsheet or a
// plotting script (vtplan --sweep --csv and the "Band" page's Save…).
#include <cstdint>
#include <string>

#include "planning/sweep.h"

namespace planning {

struct SweepTextFormat {
    bool csv = false;
    char decimalSeparator = '.';  // of the lines; CSV always has "."
    int64_t spurWarnHz = 0;       // a nearer spur is marked "!"
};

// The CSV's first row.
std::string sweepCsvHeader();

// "LocalOutputMHz R ActualHz ErrorHz SpurOffsetHz mark", the mark "!" for a spur nearer than the
// threshold and "-" otherwise; "LocalOutputMHz R error: TEXT" for a plan that fails. As CSV, the
// same fields with the error text in a column of its own, and an empty SpurOffsetHz for none.
void appendSweepText(std::string& out, const SweepInputs& in, const SweepPoint& point, const SweepTextFormat& format);

}  // namespace planning
