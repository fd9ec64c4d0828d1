#pragma once
// What the planning benchmarks share: the clock, medians, and the sweep of a band timed three
// ways, the bare loop over the planning core's functions being the floor they are measured by.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/sweep.h"
#include "planning/sweep_text.h"
#include "planning/word_figures.h"

namespace benchrig {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Keeps the optimiser from dropping work whose result nobody reads.
inline volatile size_t gSink = 0;

// The points' texts, made beforehand, as the single plan reads them.
inline std::vector<planning::PlanInputs> typedPoints(const planning::SweepInputs& in) {
    std::vector<planning::PlanInputs> typed;
    for (int64_t i = 0; i < in.steps.count(); ++i)
        for (const int64_t r : in.rs)
            typed.push_back({in.steps.text(i, '.'), in.multiplier, in.std, std::to_string(r)});
    return typed;
}

// The window's search, its words and their figures over the same points, texts made beforehand
// and nothing written: the floor of a sweep.
inline double bareLoop(const planning::SweepInputs& in) {
    const std::vector<planning::PlanInputs> typed = typedPoints(in);
    const auto start = Clock::now();
    size_t seen = 0;
    for (const planning::PlanInputs& t : typed) {
        const planning::FrequencyPlan plan = planning::findRatios(t);
        planning::RegisterWords words;
        planning::CalcPLLReg(in.cp, in.sd, planning::formatInt(plan.R), planning::formatInt(plan.N_INT),
                             planning::formatInt(plan.NFrac), words);
        seen += planning::figuresOf(t, plan.Multiplier, words).has_value();
    }
    gSink = gSink + seen;
    return secondsSince(start);
}

inline double sweepOnly(const planning::SweepInputs& in) {
    const auto start = Clock::now();
    size_t seen = 0;
    planning::sweep(in, [&](const planning::SweepPoint& p) { return (seen += p.figures.has_value()), true; });
    gSink = gSink + seen;
    return secondsSince(start);
}

// The sweep with every line formatted as vtplan writes it, to devNull.
inline double sweepWithText(const planning::SweepInputs& in, int devNull) {
    const auto start = Clock::now();
    std::string out;
    const planning::SweepTextFormat format{false, '.', planning::kDefaultSpurWarnHz};
    planning::sweep(in, [&](const planning::SweepPoint& p) {
        planning::appendSweepText(out, in, p, format);
        if (out.size() >= (1 << 16)) {
            gSink = gSink + static_cast<size_t>(::write(devNull, out.data(), out.size()));
            out.clear();
        }
        return true;
    });
    gSink = gSink + static_cast<size_t>(::write(devNull, out.data(), out.size()));
    return secondsSince(start);
}

// The band the sweep benchmarks plan: points outputs from 12300 MHz in 1 kHz steps, x100 on
// 10 MHz, R 1 to 4. to receives the last output's text.
inline std::optional<planning::SweepInputs> benchBand(long points, std::string& to, std::string& problem) {
    const long long lastKhz = 12300000LL + points - 1;
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", lastKhz / 1000, lastKhz % 1000);
    to = text;
    const auto band = planning::SweepSteps::read("12300.000", to, "0.001", '.', problem);
    if (!band) return std::nullopt;
    return planning::SweepInputs{*band, {1, 2, 3, 4}, "100", "10"};
}

}  // namespace benchrig
