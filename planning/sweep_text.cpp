#include "planning/sweep_text.h"

#include "planning/spur.h"

namespace planning {
namespace {

// A field as a spreadsheet reads it back: quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string quoted = "\"";
    for (const char c : s) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

}  // namespace

std::string sweepCsvHeader() { return "local_output_mhz,r,actual_hz,error_hz,spur_offset_hz,mark,error\n"; }

void appendSweepText(std::string& out, const SweepInputs& in, const SweepPoint& p, const SweepTextFormat& format) {
    const char sep = format.csv ? '.' : format.decimalSeparator;
    const char between = format.csv ? ',' : ' ';
    out += in.steps.text(p.index, sep);
    out += between;
    out += std::to_string(p.r);
    out += between;
    if (!p.figures) {
        out += format.csv ? ",,,," + csvField(p.error) : "error: " + p.error;
        out += '\n';
        return;
    }
    const WordFigures& f = *p.figures;
    out += hzText(*f.actualHz, sep);
    out += between;
    out += hzText(*f.errorHz, sep);
    out += between;
    // A spreadsheet reads a column of numbers: no spur is an empty field there, "none" in the lines.
    if (!format.csv || f.spurs.offsetHz()) out += spurHzText(f.spurs.offsetHz(), sep);
    out += between;
    out += f.spurs.below(format.spurWarnHz) ? '!' : '-';
    if (format.csv) out += ',';
    out += '\n';
}

}  // namespace planning
