#pragma once
// What the "Band" page shows, apart from how it is drawn (no Qt): a sweep's points as numbers to
// plot, its summary and CSV, both views' axes with ticks at 1-2-5 steps whose labels do not
// overlap, and where the channels of the table sit in the band.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "planning/channel_table.h"
#include "planning/sweep.h"
#include "planning/sweep_summary.h"

namespace band {

struct Request {
    planning::SweepInputs inputs;
    int64_t thresholdHz = 0;  // the Channels page's "Spur warning below (Hz)"
};

struct Curve {
    int64_t r = 0;
    std::vector<double> spurHz;          // by output; NaN where there is no spur or no plan
    std::vector<double> errorHz;         // NaN where the plan fails
    std::vector<double> nearestErrorHz;  // of the nearest word; NaN where there is none
};

struct Result {
    Request request;
    std::vector<Curve> curves;  // in the order of the R list
    planning::SweepSummary summary;
    std::string summaryText;  // with the decimal separator of the inputs
    std::string csv;          // as vtplan --sweep --csv writes it
};

// The whole sweep, with the window's search and with the nearest word's; nullptr when stop became
// true first. done counts the points planned, twice each.
std::shared_ptr<const Result> compute(const Request& request, const std::atomic<bool>& stop,
                                      std::atomic<int64_t>& done);

enum class View { Spur, Error };

// Ticks and their labels along one axis.
struct Ticks {
    std::vector<double> values;
    std::vector<std::string> labels;
};
// How long a label is along its axis: its width across, its height upwards.
using TextExtent = std::function<double(const std::string&)>;
enum class TickText { Megahertz, Hertz };

// Values of a 1-2-5 step within [lo, hi], the finest step at which every label keeps gap from
// the next over pixels for the whole range.
Ticks linearTicks(double lo, double hi, double pixels, TickText text, const TextExtent& extentOf, double gap);
// Powers of ten and, where there is room for labels labelHeight high, their 2 and 5 multiples;
// every second or fifth decade when even the decades are too close.
Ticks logTicks(double lo, double hi, double pixels, double labelHeight);
// "500", "2k", "1.5M", "0.01": a number of hertz as a tick says it.
std::string hzTickLabel(double hz);

struct Range {
    double lo = 0, hi = 1;
};
// The spur axis: whole decades around every spur and the threshold, the highest below the top;
// the error axis: the errors with a margin, zero inside. Missing values do not count; no values
// give a unit range.
Range spurRange(const Result& r);
Range errorRange(const Result& r);
Range outputRange(const Result& r);

// The channels of the table whose output, as their description quotes it, lies in the band.
struct ChannelMark {
    int channel = 0;
    double mhz = 0;
};
std::vector<ChannelMark> channelMarks(const planning::ChannelTable& table, Range band, char decimalSeparator);

// The output nearest mhz (clamped to the band).
int64_t nearestOutput(const planning::SweepSteps& steps, double mhz);

// "12340.0 MHz, R 3: error 1225.471 Hz (nearest word -6.358 Hz), spur 66678.921 Hz (beat)" for the
// point, exact, from the core; for an R above 16384 "R 20000 (the words use R 16384)".
std::string pointText(const Request& request, int64_t index, size_t rIndex);

}  // namespace band
