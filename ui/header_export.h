#pragma once
// The text of the register header: a date line and, for channels 0..7, the description and the
// words RefReg, IntgReg, FracReg, CPReg as hexadecimal constants; 41 lines ended by CR LF.
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "planning/channel_table.h"

// Where the export takes the time from, and how it writes it (strftime patterns).
struct ExportClock {
    std::function<std::tm()> now;  // local time
    std::string dateFormat;        // the locale's short date
    std::string timeFormat;        // the locale's long time
};

// The local clock with the formats of the process's LC_TIME locale.
ExportClock systemExportClock();

// "yyyymmdd_hhnn" + "param.h", e.g. "20110503_2105param.h".
std::string headerFileName(const std::tm& t);

// "//" + date, then a blank and the time unless the clock shows exactly 00:00:00. UTF-8, no line end.
std::string headerDateLine(const std::tm& t, const std::string& dateFormat, const std::string& timeFormat);

// The whole header in UTF-8 with CR LF line ends.
std::string headerText(const planning::ChannelTable& table, std::string_view dateLine);
