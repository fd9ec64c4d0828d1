// vtplan: the frequency plan and register words from the command line; with --channels, a
// whole channel table from a list, optionally written as a register header.
#include <algorithm>
#include <clocale>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "channel_list.h"
#include "files/errno_text.h"
#include "files/named_files.h"
#include "files/standard_descriptors.h"
#include "headerfile/header_text.h"
#include "options.h"
#include "planning/best_r.h"
#include "planning/channel_plan.h"
#include "planning/error_texts.h"
#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/r_choice.h"
#include "planning/register_words.h"
#include "planning/spur.h"
#include "planning/sweep.h"
#include "planning/sweep_text.h"
#include "planning/word_figures.h"
#include "text/decimal_separator.h"
#include "text/shown.h"

namespace {

constexpr int kExitPlanError = 1;
constexpr int kExitUsage = 2;

void addLine(std::string& out, const char* name, const std::string& value) {
    out += name;
    out += ' ';
    out += value;
    out += '\n';
}

// Writes what has been worked out; false when standard output cannot take it.
bool emit(const std::string& out) {
    std::cout << out << std::flush;
    if (std::cout) return true;
    std::cerr << "vtplan: cannot write the plan to standard output\n";
    return false;
}

// What the words really give, after them: the output and its error, both spurs and the nearer.
void addFigureLines(std::string& out, const planning::WordFigures& f, char sep) {
    addLine(out, "ActualHz", planning::hzText(*f.actualHz, sep));
    addLine(out, "ErrorHz", planning::hzText(*f.errorHz, sep));
    addLine(out, "FracSpurHz", planning::spurHzText(f.spurs.fracHz, sep));
    addLine(out, "BeatSpurHz", planning::spurHzText(f.spurs.beatHz, sep));
    addLine(out, "SpurOffsetHz", planning::spurHzText(f.spurs.offsetHz(), sep));
}

// Warns, after the words, of Rs the 02h word cannot hold: `where` says whose ("vtplan", a list's
// line), `rs` which ("20000", "16385 to 20000").
void warnOfLargeR(const std::string& where, const std::string& rs, bool several = false) {
    std::cerr << where << ": warning: R " << rs << (several ? " are" : " is") << " above " << planning::kRefDivLimit
              << ", the most the 02h word holds; the words use R " << planning::kRefDivLimit << '\n';
}

void warnOfLargeR(int64_t r) {
    if (r > planning::kRefDivLimit) warnOfLargeR("vtplan", std::to_string(r));
}

const char* nearerName(const planning::Spurs& s) {
    return s.nearer == planning::Spurs::Nearer::Beat ? "BeatSpurHz" : "FracSpurHz";
}

void addPlanLines(std::string& out, const planning::PlanLabels& labels) {
    addLine(out, "VcoHz", labels.vcoHz);
    addLine(out, "PdHz", labels.pdHz);
    addLine(out, "VcoMHz", labels.vcoMHz);
    addLine(out, "R", labels.r);
    addLine(out, "N_INT", labels.nInt);
    addLine(out, "NFrac", labels.nFrac);
    addLine(out, "FFRAC", labels.fFrac);
}

void addWordLines(std::string& out, const planning::RegisterWords& words) {
    addLine(out, "RefReg", planning::hex8(words.RefReg));
    addLine(out, "IntgReg", planning::hex8(words.IntgReg));
    addLine(out, "FracReg", planning::hex8(words.FracReg));
    addLine(out, "CPReg", planning::hex8(words.CPReg));
    addLine(out, "SDReg", planning::hex8(words.SDReg));
}

// The window's search: the plan lines, then the words. When the encoding fails the plan lines
// are still written, as the window keeps the labels that the search had set, and the error follows.
planning::PlannedChannel windowPlan(const planning::ChannelInputs& in, std::string& out) {
    planning::PlannedChannel p;
    p.plan = planning::findRatios(in.plan);
    const planning::PlanLabels labels = planning::planLabels(p.plan, in.plan.decimalSeparator);
    addPlanLines(out, labels);
    try {
        planning::CalcPLLReg(in.cp, in.sd, labels.r, labels.nInt, labels.nFrac, p.words);
    } catch (const text::VtError&) {
        emit(out);
        throw;
    }
    p.figures = planning::figuresOf(in.plan, p.plan.Multiplier, p.words);
    return p;
}

// The nearest word's search has no half-made plan: a failure writes nothing.
planning::PlannedChannel nearestPlan(const planning::ChannelInputs& in, std::string& out) {
    planning::PlannedChannel p = planning::planNearestChannel(in);
    addPlanLines(out, planning::planLabels(p.plan, in.plan.decimalSeparator));
    return p;
}

int run(const vtplan::Options& options, char sep) {
    const planning::ChannelInputs in{
        {options.localOutput, options.multiplier, options.std, options.r, sep}, options.chargePump, options.sd};
    std::string out;
    const planning::PlannedChannel p =
        options.search == planning::Search::Nearest ? nearestPlan(in, out) : windowPlan(in, out);
    addWordLines(out, p.words);
    const std::optional<planning::WordFigures>& figures = p.figures;
    if (figures) addFigureLines(out, *figures, sep);
    const bool written = emit(out);
    // Warnings only: the plan is what was asked for, and the exit code stays that of the plan.
    warnOfLargeR(p.plan.R);
    if (figures && figures->spurs.below(options.spurWarnHz))
        std::cerr << "vtplan: warning: the nearest spur (" << nearerName(figures->spurs) << ") is "
                  << planning::spurHzText(figures->spurs.offsetHz(), sep) << " Hz from the carrier, closer than "
                  << options.spurWarnHz << " Hz\n";
    return written ? 0 : kExitPlanError;
}

// One line per channel: the channel, RefReg, IntgReg, FracReg, CPReg, SDReg, ActualHz, ErrorHz,
// SpurOffsetHz, and "!" for a spur nearer than the threshold ("-" otherwise).
std::string channelLines(const vtplan::PlannedTable& planned, int spurWarnHz) {
    std::string out;
    for (const auto& [channel, p] : planned.plans) {
        out += std::to_string(channel);
        for (uint32_t word : {p.words.RefReg, p.words.IntgReg, p.words.FracReg, p.words.CPReg, p.words.SDReg})
            out += ' ' + planning::hex8(word);
        const planning::WordFigures& f = *p.figures;
        for (const std::string& hz : {planning::hzText(*f.actualHz, '.'), planning::hzText(*f.errorHz, '.'),
                                      planning::spurHzText(f.spurs.offsetHz(), '.')})
            out += ' ' + hz;
        out += f.spurs.below(spurWarnHz) ? " !\n" : " -\n";
    }
    return out;
}

// The list planned whole, or nothing written: a problem on any row stops before the header file
// and before standard output.
int runChannels(const vtplan::Options& options) {
    const std::string& list = options.channelsFile;
    std::string bytes;
    if (const int err = files::readNamedInput(list, bytes)) {
        std::cerr << "vtplan: " << text::shown(list) << ": " << files::englishFileProblem(list, err) << '\n';
        return kExitPlanError;
    }
    const vtplan::ChannelList listed = vtplan::readChannelList(bytes, options.chargePump, options.sd);
    const vtplan::PlannedTable planned = vtplan::planChannelList(listed, options.search);
    for (const vtplan::ListProblem& p : planned.problems)
        std::cerr << text::shown(list) << ':' << p.line << ": " << p.text << '\n';
    if (!planned.problems.empty()) return kExitPlanError;
    if (!options.headerFile.empty()) {
        std::string header;
        try {
            header = headerfile::headerFileBytes(planned.table, headerfile::systemExportClock());
        } catch (const text::VtError& e) {
            std::cerr << "vtplan: " << text::shown(options.headerFile) << ": " << e.what() << '\n';
            return kExitPlanError;
        }
        if (const int err = files::writeNamedOutput(options.headerFile, header)) {
            std::cerr << "vtplan: " << text::shown(options.headerFile) << ": "
                      << files::englishFileProblem(options.headerFile, err) << '\n';
            return kExitPlanError;
        }
    }
    const bool written = emit(channelLines(planned, options.spurWarnHz));
    for (const vtplan::ListedChannel& c : listed.channels) {
        const auto plan = std::find_if(planned.plans.begin(), planned.plans.end(),
                                       [&](const auto& p) { return p.first == c.channel; });
        if (plan != planned.plans.end() && plan->second.plan.R > planning::kRefDivLimit)
            warnOfLargeR(text::shown(list) + ':' + std::to_string(c.line), std::to_string(plan->second.plan.R));
    }
    return written ? 0 : kExitPlanError;
}

// The mark column: "*" the R given, "!" a spur nearer than the threshold, "best" the best R of
// the range (--nearest only; it clears the threshold, so never with "!"), "-" none of them.
std::string compareMark(bool given, bool near, bool best) {
    std::string mark = std::string(given ? "*" : "") + (near ? "!" : "") + (best ? "best" : "");
    return mark.empty() ? "-" : mark;
}

// The last line of --compare-r --nearest: the best R, or that no R of the range clears the threshold.
std::string bestLine(const planning::RChoice* best, const vtplan::Options& options, char sep) {
    if (best == nullptr) {
        const std::string which = options.compareFirst == options.compareLast
                                      ? "R " + std::to_string(options.compareFirst) + " does not clear"
                                      : "no R from " + std::to_string(options.compareFirst) + " to " +
                                            std::to_string(options.compareLast) + " clears";
        return "best: none, " + which + " the " + std::to_string(options.spurWarnHz) + " Hz threshold\n";
    }
    const planning::WordFigures& f = *best->planned->figures;
    const auto& spur = f.spurs.offsetHz();
    return "best: R " + std::to_string(best->r) + ", error " + planning::hzText(*f.errorHz, sep) + " Hz, spur " +
           planning::spurHzText(spur, sep) + (spur ? " Hz\n" : "\n");
}

// One line per r: r, PdHz, ErrorHz, SpurOffsetHz and a mark (compareMark); a plan that fails is
// "r error: TEXT" and the others go on. With --nearest a last line names the best R.
int runCompareR(const vtplan::Options& options, char sep) {
    const planning::ChannelInputs in{
        {options.localOutput, options.multiplier, options.std, options.r, sep}, options.chargePump, options.sd};
    const bool nearest = options.search == planning::Search::Nearest;
    const std::vector<planning::RChoice> choices =
        planning::planEachR(in, options.compareFirst, options.compareLast, options.search);
    const planning::RChoice* best = nearest ? planning::bestR(choices, options.spurWarnHz) : nullptr;
    std::string out;
    for (const planning::RChoice& c : choices) {
        out += std::to_string(c.r);
        if (!c.planned) {
            out += " error: " + c.error + '\n';
            continue;
        }
        const planning::WordFigures& f = *c.planned->figures;
        out += ' ' + planning::formatInt(c.planned->plan.PdHz) + ' ' + planning::hzText(*f.errorHz, sep) + ' ' +
               planning::spurHzText(f.spurs.offsetHz(), sep) + ' ';
        out += compareMark(c.r == options.givenR, f.spurs.below(options.spurWarnHz), &c == best);
        out += '\n';
    }
    if (nearest) out += bestLine(best, options, sep);
    const bool written = emit(out);
    const int above = std::max(options.compareFirst, static_cast<int>(planning::kRefDivLimit) + 1);
    if (options.compareLast == above)
        warnOfLargeR("vtplan", std::to_string(above));
    else if (options.compareLast > above)
        warnOfLargeR("vtplan", std::to_string(above) + " to " + std::to_string(options.compareLast), true);
    return written ? 0 : kExitPlanError;
}

// Writes out when it has grown past a chunk, or at the end: a sweep streams whatever its length.
bool flushed(std::string& out, size_t atLeast) {
    if (out.size() < atLeast) return true;
    const bool written = static_cast<bool>(std::cout.write(out.data(), static_cast<std::streamsize>(out.size())));
    out.clear();
    return written;
}

// One line per output and R, outputs in order and each with every R of the list; a plan that
// fails is "f R error: TEXT" and the others go on. Numbers typed follow the locale, as in single
// mode; a band that is no band, or too large, is a usage error.
int runSweep(const vtplan::Options& options, char sep) {
    std::string problem;
    const auto steps = planning::SweepSteps::read(options.sweepFrom, options.sweepTo, options.sweepStep, sep, problem);
    if (steps) problem = planning::sweepSizeProblem(*steps, options.sweepRs.size());
    if (!problem.empty()) {
        std::cerr << "vtplan: " << problem << '\n' << vtplan::kUsage << '\n';
        return kExitUsage;
    }
    const planning::SweepInputs in{*steps, options.sweepRs,    options.multiplier, options.std,
                                   sep,    options.chargePump, options.sd,         options.search};
    const planning::SweepTextFormat format{options.csv, sep, options.spurWarnHz};
    constexpr size_t kChunk = 1 << 16;
    std::string out = options.csv ? planning::sweepCsvHeader() : std::string();
    out.reserve(kChunk + 256);
    bool written = true;
    planning::sweep(in, [&](const planning::SweepPoint& p) {
        planning::appendSweepText(out, in, p, format);
        return written = flushed(out, kChunk);
    });
    if (written) written = flushed(out, 0) && static_cast<bool>(std::cout.flush());
    if (!written) std::cerr << "vtplan: cannot write the plan to standard output\n";
    for (const int64_t r : options.sweepRs) warnOfLargeR(r);
    return written ? 0 : kExitPlanError;
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = vtplan::parseOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "vtplan: " << parsed.error << '\n' << vtplan::kUsage << '\n';
        return kExitUsage;
    }
    const vtplan::Options& options = parsed.options;
    if (options.help) {
        std::cout << vtplan::kUsage << '\n' << std::flush;
        if (std::cout) return 0;
        std::cerr << "vtplan: cannot write to standard output\n";
        return kExitPlanError;
    }
    // The date line of a header follows LC_TIME as the window's export does.
    std::setlocale(LC_NUMERIC, "");
    std::setlocale(LC_TIME, "");
    if (!options.channelsFile.empty()) return runChannels(options);
    if (options.sweep) return runSweep(options, text::localeDecimalSeparator());
    if (options.compareFirst > 0) return runCompareR(options, text::localeDecimalSeparator());
    try {
        return run(options, text::localeDecimalSeparator());
    } catch (const text::VtError& e) {
        std::cerr << text::withFullStop(e.what()) << '\n';
        return kExitPlanError;
    }
}
