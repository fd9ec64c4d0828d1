#pragma once
// The register header, the channel table's file: a date line and, for channels 0..7, the
// description and the words RefReg, IntgReg, FracReg, CPReg as hexadecimal constants; 41 lines
// ended by CR LF, 8-bit text in code page 932.
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "planning/channel_table.h"

namespace headerfile {

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

// The header's lines for channels 0..7 as the file holds them: the descriptions go as they are
// (the table keeps them in code page 932), each line ends in CR LF.
std::string headerChannelLines(const planning::ChannelTable& table);

// The whole file: the date line (UTF-8, converted) and the channel lines.
std::string headerFileBytes(const planning::ChannelTable& table, std::string_view dateLineUtf8);

// The file with the clock read twice, as the export does: once here for the date line. Throws
// text::VtError when the bytes would not read back as a header (see parseHeader).
std::string headerFileBytes(const planning::ChannelTable& table, const ExportClock& clock);

}  // namespace headerfile
