#include "channels/slot_details.h"

#include "channels/channel_meaning.h"
#include "channels/slot_figures.h"
#include "planning/r_choice.h"
#include "planning/register_words.h"
#include "planning/spur.h"

namespace channels {

using planning::ChannelTable;
using planning::clearingRs;
using planning::figuresBy;
using planning::hzText;
using planning::kRefDivLimit;
using planning::otherRRange;
using planning::PlanInputs;
using planning::RChoice;
using planning::RRange;
using planning::SearchRecord;
using planning::SlotRecord;
using planning::spurHzText;
using planning::Spurs;
using planning::WordFigures;

namespace {

std::string searchText(const SearchRecord& s) {
    const PlanInputs& in = s.inputs;
    return "LocalOutput " + in.localOutput + " MHz, Multiplier " + in.multiplier + ", STD " + in.std + " MHz, R " +
           in.r;
}

// "Words 04000004 06000018 08AE147A 13407FFE: R 2, N_INT 12, NFrac 5704253, N 12.339999974,
// synthesizer 123399999.738 Hz."
std::string wordsLine(const ChannelRow& row) {
    std::string line = "Words " + row.RefReg + ' ' + row.IntgReg + ' ' + row.FracReg + ' ' + row.CPReg;
    std::string meaning;
    if (!row.R.empty()) meaning += ", R " + row.R;
    if (!row.N.empty()) meaning += ", N_INT " + row.N_INT + ", NFrac " + row.NFrac + ", N " + row.N;
    if (!row.synthesizerHz.empty()) meaning += ", synthesizer " + row.synthesizerHz + " Hz";
    if (!meaning.empty()) line += ':' + meaning.substr(1);
    return line + '.';
}

// The values of R near the search's own whose spur clears the threshold with the smallest error of
// the words of rankBy, each with its error and the nearest word's: "; with R 10: 300000.012 Hz
// (error -2.384 Hz, nearest word -2.384 Hz), with R 4: integer mode (error 0.000 Hz, nearest word
// 0.000 Hz)", or
// "; no R up to 12 clears it" ("no R from 15385 to 16384", where the search did not start at 1).
std::string otherRs(const SearchRecord& s, planning::Search rankBy, int64_t spurWarnHz, char sep) {
    const std::vector<RChoice> found = clearingRs({s.inputs, s.cp, s.sd}, s.plan.R, spurWarnHz, rankBy);
    if (found.empty()) {
        const RRange range = otherRRange(s.plan.R);
        const bool fromOne = range.first == 1 || (s.plan.R == 1 && range.first == 2);
        return (fromOne ? std::string("; no R up to ") : "; no R from " + std::to_string(range.first) + " to ") +
               std::to_string(range.last) + " clears it";
    }
    std::string text;
    for (const RChoice& c : found) {
        const auto& spur = figuresBy(c, rankBy)->spurs.offsetHz();
        text += ", with R " + std::to_string(c.r) + ": " + (spur ? hzText(*spur, sep) + " Hz" : "integer mode");
        std::string errors;
        const WordFigures* window = figuresBy(c, planning::Search::Window);
        if (window && window->errorHz) errors += ", error " + hzText(*window->errorHz, sep) + " Hz";
        if (c.nearest && c.nearest->errorHz) errors += ", nearest word " + hzText(*c.nearest->errorHz, sep) + " Hz";
        if (!errors.empty()) text += " (" + errors.substr(2) + ')';
    }
    return ';' + text.substr(1);
}

// "Multiplier 100 (derived), error -26.226 Hz."; after "Nearest word" the error before it too:
// "Multiplier 100, error 1225.471 Hz -> -6.358 Hz."
std::string errorLine(const SlotFigures& f, const SlotRecord& r, char sep) {
    if (!f.multiplier) return {};
    std::string line = "Multiplier " + std::to_string(*f.multiplier) + (f.multiplierDerived ? " (derived)" : "");
    if (f.errorHz.empty()) return line + '.';
    line += ", error ";
    if (!r.refinedTime.empty() && r.errorBeforeRefineHz) line += hzText(*r.errorBeforeRefineHz, sep) + " Hz -> ";
    return line + f.errorHz + " Hz.";
}

// Both spurs, the nearer named, and whether it clears the threshold; when it does not, for a
// slot whose search is recorded, the values of R near its own that do:
// "Fractional spur at 1633327.206 Hz, beat spur at 66678.921 Hz (the nearer): nearer than the
// 1000000 Hz threshold; with R 1: …".
std::string spurLine(const SlotFigures& f, const SlotRecord& r, int64_t spurWarnHz, char sep) {
    if (!f.figures) return {};
    const Spurs& s = f.figures->spurs;
    const bool both = s.fracHz && s.beatHz;
    std::string line =
        s.fracHz ? "Fractional spur at " + spurHzText(s.fracHz, sep) + " Hz" : "No fractional spur (integer mode)";
    if (both && s.nearer == Spurs::Nearer::Frac) line += " (the nearer)";
    line += s.beatHz ? ", beat spur at " + spurHzText(s.beatHz, sep) + " Hz" : ", no beat spur (2N is whole)";
    if (both && s.nearer == Spurs::Nearer::Beat) line += " (the nearer)";
    if (!s.offsetHz()) return line + '.';
    const std::string threshold = std::to_string(spurWarnHz) + " Hz threshold";
    if (!f.spurWarned) return line + ": clears the " + threshold + '.';
    line += ": nearer than the " + threshold;
    // Ranked by the error of the search that made the slot's words.
    if (r.search)
        line +=
            otherRs(*r.search, r.nearestWord ? planning::Search::Nearest : planning::Search::Window, spurWarnHz, sep);
    return line + '.';
}

// The words hold no R above 16384: the search's own R is then not what the unit divides by.
std::string rLimitLine(const SlotRecord& r) {
    if (!r.search || r.search->plan.R <= kRefDivLimit) return {};
    const std::string limit = std::to_string(kRefDivLimit);
    return "R " + std::to_string(r.search->plan.R) + " is above " + limit +
           ", the most the 02h word holds; the words use R " + limit + '.';
}

// "Set 11:26 from the search of LocalOutput 12340 MHz, ...; refined 11:28 to the nearest word;
// written 11:30 (com1)."
std::string sourceLine(const SlotRecord& r) {
    std::string line;
    if (r.source == SlotRecord::Source::File) {
        line = "Opened from " + r.fileName;
        if (r.nearestWord && r.refinedTime.empty())
            line += "; its words are the nearest word of what its description quotes";
    } else {
        line = "Set " + r.setTime;
        if (r.search)
            line += (r.search->search == planning::Search::Nearest ? " from the nearest-word search of "
                                                                   : " from the search of ") +
                    searchText(*r.search);
    }
    if (!r.refinedTime.empty()) line += "; refined " + r.refinedTime + " to the nearest word";
    if (!r.writtenTime.empty()) line += "; written " + r.writtenTime + " (" + r.writtenPort + ")";
    if (r.changedSinceWritten) line += "; changed since written";
    line += '.';
    if (r.stale)
        line += r.search ? " Stale: the description quotes other settings than that search had (LocalOutput, STD, "
                           "PD, charge pump or SD); search again, then set."
                : r.source == SlotRecord::Source::File
                    ? " Stale: neither search makes these words of the output, STD and PD the description "
                      "quotes (multiplier derived); search, then set."
                    : " Stale: no search made these words; search, then set.";
    return line;
}

}  // namespace

std::string slotDetails(const ChannelTable& t, int channel, const SlotRecord& r, int64_t spurWarnHz, char sep) {
    const std::string name = "ch" + std::to_string(channel);
    if (r.source == SlotRecord::Source::None) return name + ": not set.";
    const ChannelRow row = channelRow(t, channel, sep);
    const SlotFigures f =
        slotFigures(t, channel, r.search ? std::optional(r.search->plan.Multiplier) : std::nullopt, spurWarnHz, sep);
    std::string out = name + ": " + (row.description.empty() ? "(no description)" : row.description) + '\n';
    for (const std::string& line :
         {wordsLine(row), rLimitLine(r), errorLine(f, r, sep), spurLine(f, r, spurWarnHz, sep)})
        if (!line.empty()) out += line + '\n';
    return out + sourceLine(r);
}

}  // namespace channels
