#include "band/band_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "channels/channel_meaning.h"
#include "planning/actual_output.h"
#include "planning/number_text.h"
#include "planning/register_words.h"
#include "planning/spur.h"
#include "planning/sweep_text.h"
#include "text/cp932.h"

namespace band {
namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

std::string fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s = text;
    if (s.find_first_not_of("-0.") == std::string::npos) return decimals > 0 ? "0." + std::string(decimals, '0') : "0";
    return s;
}

void forEachValue(const Result& r, bool spurs, const std::function<void(double)>& take) {
    for (const Curve& c : r.curves)
        for (const auto* values : spurs ? std::vector{&c.spurHz} : std::vector{&c.errorHz, &c.nearestErrorHz})
            for (const double v : *values)
                if (!std::isnan(v)) take(v);
}

// A figure as the chart plots it, NaN for none: the exact value to a double, through its text only
// when it is too large for 128 bits.
double plotted(const std::optional<planning::ExactFraction>& hz) {
    if (!hz) return kMissing;
    if (const auto parts = hz->toInt128Parts())
        return static_cast<double>(static_cast<long double>(parts->first) / static_cast<long double>(parts->second));
    const std::string text = hz->toFixed(3, '.');
    double v = kMissing;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

}  // namespace

std::shared_ptr<const Result> compute(const Request& request, const std::atomic<bool>& stop,
                                      std::atomic<int64_t>& done) {
    auto result = std::make_shared<Result>(Result{request, {}, {request.inputs.rs, request.thresholdHz}, {}, {}});
    const planning::SweepInputs& in = result->request.inputs;
    const auto outputs = static_cast<size_t>(in.steps.count());
    for (const int64_t r : in.rs)
        result->curves.push_back({r, std::vector<double>(outputs, kMissing), std::vector<double>(outputs, kMissing),
                                  std::vector<double>(outputs, kMissing)});
    result->csv = planning::sweepCsvHeader();
    const planning::SweepTextFormat format{true, '.', request.thresholdHz};
    bool stopped = false;
    planning::sweep(in, [&](const planning::SweepPoint& p) {
        if (stop.load(std::memory_order_relaxed)) return !(stopped = true);
        result->summary.add(p);
        planning::appendSweepText(result->csv, in, p, format);
        if (p.figures) {
            Curve& c = result->curves[p.rIndex];
            c.errorHz[static_cast<size_t>(p.index)] = plotted(p.figures->errorHz);
            c.spurHz[static_cast<size_t>(p.index)] = plotted(p.figures->spurs.offsetHz());
        }
        done.fetch_add(1, std::memory_order_relaxed);
        return true;
    });
    if (stopped) return nullptr;
    planning::SweepInputs nearest = in;
    nearest.search = planning::Search::Nearest;
    planning::sweep(nearest, [&](const planning::SweepPoint& p) {
        if (stop.load(std::memory_order_relaxed)) return !(stopped = true);
        if (p.figures)
            result->curves[p.rIndex].nearestErrorHz[static_cast<size_t>(p.index)] = plotted(p.figures->errorHz);
        done.fetch_add(1, std::memory_order_relaxed);
        return true;
    });
    if (stopped) return nullptr;
    result->summaryText = result->summary.text(in.steps, in.decimalSeparator);
    return result;
}

std::string hzTickLabel(double hz) {
    const double a = std::fabs(hz);
    const auto withUnit = [hz](double scale, const char* unit) {
        char text[48];
        std::snprintf(text, sizeof text, "%.6g%s", hz / scale, unit);
        return std::string(text);
    };
    if (a >= 1e9) return withUnit(1e9, "G");
    if (a >= 1e6) return withUnit(1e6, "M");
    if (a >= 1e3) return withUnit(1e3, "k");
    return withUnit(1, "");
}

Ticks linearTicks(double lo, double hi, double pixels, TickText text, const TextExtent& extentOf, double gap) {
    if (!(hi > lo)) hi = lo + 1;
    const int firstExponent = static_cast<int>(std::floor(std::log10((hi - lo) / 1000)));
    for (int exponent = firstExponent; exponent < firstExponent + 8; ++exponent) {
        for (const int mantissa : {1, 2, 5}) {
            const double unit = std::pow(10.0, exponent), step = mantissa * unit;
            const double pixelsPerStep = step / (hi - lo) * pixels;
            if (pixelsPerStep < 4) continue;
            Ticks t;
            for (auto k = static_cast<int64_t>(std::ceil(lo / step - 1e-9)); k * step <= hi + step * 1e-9; ++k) {
                // k x mantissa whole units: no binary fraction added up along the axis.
                const double v = exponent < 0 ? static_cast<double>(k * mantissa) / std::pow(10.0, -exponent)
                                              : static_cast<double>(k * mantissa) * unit;
                t.values.push_back(v);
                t.labels.push_back(text == TickText::Megahertz ? fixed(v, std::max(0, -exponent)) : hzTickLabel(v));
            }
            double widest = 0;
            for (const std::string& l : t.labels) widest = std::max(widest, extentOf(l));
            if (widest + gap <= pixelsPerStep) return t;
        }
    }
    return {{lo, hi}, {fixed(lo, 0), fixed(hi, 0)}};
}

Ticks logTicks(double lo, double hi, double pixels, double labelHeight) {
    const int first = static_cast<int>(std::lround(std::log10(lo))),
              last = static_cast<int>(std::lround(std::log10(hi)));
    const double perDecade = pixels / std::max(1, last - first), room = labelHeight + 2;
    const bool mantissas = std::log10(2.0) * perDecade >= room;
    int every = 1;
    for (const int e : {1, 2, 5, 10, 20, 50, 100})
        if ((every = e) * perDecade >= room) break;
    Ticks t;
    for (int d = first; d <= last; ++d) {
        if ((d - first) % every != 0) continue;
        for (const int m : {1, 2, 5}) {
            if (m > 1 && (!mantissas || d == last)) break;
            const double v = m * std::pow(10.0, d);
            t.values.push_back(v);
            t.labels.push_back(hzTickLabel(v));
        }
    }
    return t;
}

Range spurRange(const Result& r) {
    double lo = std::numeric_limits<double>::infinity(), hi = 0;
    const auto take = [&](double v) {
        if (v <= 0) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };
    forEachValue(r, true, take);
    if (r.request.thresholdHz > 0) take(static_cast<double>(r.request.thresholdHz));
    if (hi == 0) return {1, 10};
    // A decade above the highest, so that a threshold of 1 MHz is not drawn on the frame.
    return {std::pow(10.0, std::floor(std::log10(lo))), std::pow(10.0, std::floor(std::log10(hi)) + 1)};
}

Range errorRange(const Result& r) {
    double lo = 0, hi = 0;
    forEachValue(r, false, [&](double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    });
    if (hi - lo == 0) return {-1, 1};
    const double margin = (hi - lo) * 0.05;
    return {lo < 0 ? lo - margin : 0, hi > 0 ? hi + margin : 0};
}

Range outputRange(const Result& r) {
    const planning::SweepSteps& s = r.request.inputs.steps;
    const double first = s.megahertz(0), last = s.megahertz(s.count() - 1);
    if (last > first) return {first, last};
    return {first - 0.5, first + 0.5};
}

std::vector<ChannelMark> channelMarks(const planning::ChannelTable& table, Range band, char decimalSeparator) {
    std::vector<ChannelMark> marks;
    for (int c = 0; c < planning::ChannelTable::kChannels; ++c) {
        const auto output = channels::outputFromDescription(text::cp932ToUtf8(table.ChannelDescription.at(c)));
        if (!output) continue;
        const auto mhz = planning::tryParseDecimal(*output, channels::quotedSeparator(*output, decimalSeparator));
        if (mhz && *mhz >= band.lo && *mhz <= band.hi) marks.push_back({c, static_cast<double>(*mhz)});
    }
    return marks;
}

int64_t nearestOutput(const planning::SweepSteps& steps, double mhz) {
    if (steps.count() < 2) return 0;
    const double first = steps.megahertz(0), step = steps.megahertz(1) - first;
    const double k = std::round((mhz - first) / step);
    return static_cast<int64_t>(std::clamp(k, 0.0, static_cast<double>(steps.count() - 1)));
}

std::string pointText(const Request& request, int64_t index, size_t rIndex) {
    const planning::SweepInputs& in = request.inputs;
    const planning::SweepPoint p = planning::sweepPoint(in, index, rIndex);
    const char sep = in.decimalSeparator;
    std::string text = in.steps.text(index, sep) + " MHz, R " + std::to_string(p.r);
    if (p.r > planning::kRefDivLimit) text += " (the words use R " + std::to_string(planning::kRefDivLimit) + ")";
    text += ": ";
    if (!p.figures) return text + "no plan: " + p.error;
    const planning::Spurs& s = p.figures->spurs;
    text += "error " + planning::hzText(*p.figures->errorHz, sep) + " Hz";
    planning::SweepInputs nearestIn = in;
    nearestIn.search = planning::Search::Nearest;
    const planning::SweepPoint nearest = planning::sweepPoint(nearestIn, index, rIndex);
    if (nearest.figures && nearest.figures->errorHz)
        text += " (nearest word " + planning::hzText(*nearest.figures->errorHz, sep) + " Hz)";
    text += ", ";
    if (!s.offsetHz()) return text + "no spur";
    text += "spur " + planning::spurHzText(s.offsetHz(), sep) + " Hz";
    text += s.nearer == planning::Spurs::Nearer::Beat ? " (beat)" : " (fractional)";
    if (s.below(request.thresholdHz)) text += ", nearer than " + std::to_string(request.thresholdHz) + " Hz";
    return text;
}

}  // namespace band
