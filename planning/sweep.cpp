#include "planning/sweep.h"

#include <algorithm>
#include <limits>

#include "planning/number_format.h"
#include "planning/number_text.h"
#include "planning/plan.h"
#include "text/vt_error.h"

namespace planning {
namespace {

// Texts of up to 30 digits in whole counts of their smallest decimal: int128 holds 38.
constexpr int kMostDigits = 30;

__int128 tenTo(int n) {
    __int128 v = 1;
    while (n-- > 0) v *= 10;
    return v;
}

int decimalsOf(const ExactDecimal& d) { return d.exponent < 0 ? static_cast<int>(-d.exponent) : 0; }

// value x 10^decimals, nullopt past kMostDigits digits.
std::optional<__int128> scaled(const ExactDecimal& d, int decimals) {
    const int64_t tens = d.exponent + decimals;
    if (d.significant.empty()) return 0;
    if (tens < 0 || static_cast<int64_t>(d.significant.size()) + tens > kMostDigits) return std::nullopt;
    __int128 v = 0;
    for (const char c : d.significant) v = v * 10 + (c - '0');
    v *= tenTo(static_cast<int>(tens));
    return d.negative ? -v : v;
}

std::string scaledText(__int128 v, int decimals, char decimalSeparator) {
    const bool negative = v < 0;
    if (negative) v = -v;
    std::string digits;
    for (; v != 0 || static_cast<int>(digits.size()) <= decimals; v /= 10)
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    if (decimals > 0) digits.insert(digits.end() - decimals, decimalSeparator);
    return negative ? "-" + digits : digits;
}

std::string trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

// Plans every point of one sweep; what all its points share is read once.
class PointPlanner {
public:
    explicit PointPlanner(const SweepInputs& in)
        : in_(in), stdHz_(typedHz(in.std, in.decimalSeparator)), rTexts_(in.rs.size()) {
        std::transform(in.rs.begin(), in.rs.end(), rTexts_.begin(), [](int64_t r) { return std::to_string(r); });
    }

    SweepPoint operator()(int64_t index, size_t rIndex) const {
        SweepPoint p{index, rIndex, in_.rs[rIndex], std::nullopt, {}};
        const PlanInputs typed{in_.steps.text(index, in_.decimalSeparator), in_.multiplier, in_.std, rTexts_[rIndex],
                               in_.decimalSeparator};
        try {
            if (in_.search == Search::Nearest) {
                p.figures = nearestFigures({typed, in_.cp, in_.sd}, stdHz_);
                return p;
            }
            const FrequencyPlan plan = findRatios(typed);
            RegisterWords words;
            CalcPLLReg(in_.cp, in_.sd, formatInt(plan.R), formatInt(plan.N_INT), formatInt(plan.NFrac), words);
            const auto ratios = readWords(words.RefReg, words.IntgReg, words.FracReg);
            if (ratios && stdHz_)
                p.figures =
                    wordFigures(*stdHz_, typedHz(typed.localOutput, typed.decimalSeparator), plan.Multiplier, *ratios);
        } catch (const text::VtError& e) {
            p.error = text::withFullStop(e.what());
        }
        return p;
    }

private:
    const SweepInputs& in_;
    std::optional<ExactFraction> stdHz_;
    std::vector<std::string> rTexts_;
};

}  // namespace

std::optional<SweepSteps> SweepSteps::read(std::string_view from, std::string_view to, std::string_view step,
                                           char decimalSeparator, std::string& problem, const SweepWords& words) {
    const std::string_view texts[] = {from, to, step};
    std::optional<ExactDecimal> parts[3];
    int decimals = 0;
    for (int i = 0; i < 3; ++i) {
        parts[i] = tryExactDecimal(texts[i], decimalSeparator);
        if (!parts[i]) {
            problem = "not a number of MHz: " + std::string(texts[i]);
            return std::nullopt;
        }
        decimals = std::max(decimals, decimalsOf(*parts[i]));
    }
    __int128 v[3];
    for (int i = 0; i < 3; ++i) {
        const auto s = decimals <= kMostDigits ? scaled(*parts[i], decimals) : std::nullopt;
        if (!s) {
            problem = "more than " + std::to_string(kMostDigits) + " digits: " + std::string(texts[i]);
            return std::nullopt;
        }
        v[i] = *s;
    }
    if (v[0] < 0)
        problem = "the band starts below 0 MHz: " + std::string(from);
    else if (v[1] < v[0])
        problem = words.to + " is below " + words.from + ": " + std::string(from) + "-" + std::string(to);
    else if (v[2] <= 0)
        problem = words.step + " must be above 0: " + std::string(step);
    if (!problem.empty()) return std::nullopt;
    SweepSteps s;
    s.from_ = v[0];
    s.step_ = v[2];
    s.decimals_ = decimals;
    const __int128 count = (v[1] - v[0]) / v[2] + 1;
    s.count_ =
        count > std::numeric_limits<int64_t>::max() ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(count);
    return s;
}

std::string SweepSteps::text(int64_t index, char decimalSeparator) const {
    return scaledText(from_ + step_ * index, decimals_, decimalSeparator);
}

double SweepSteps::megahertz(int64_t index) const {
    return static_cast<double>(from_ + step_ * index) / static_cast<double>(tenTo(decimals_));
}

std::optional<std::vector<int64_t>> readRList(std::string_view text, std::string& problem) {
    std::vector<int64_t> rs;
    for (size_t start = 0; start <= text.size();) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = trimmed(text.substr(start, comma - start));
        start = comma + 1;
        const auto r = tryParseWhole(item);
        if (!tryParseDecimal(item, '.') || !r || *r < 1) {
            problem = "R must be a whole number from 1: " + item;
            return std::nullopt;
        }
        if (std::find(rs.begin(), rs.end(), *r) != rs.end()) {
            problem = "R " + std::to_string(*r) + " is listed twice";
            return std::nullopt;
        }
        rs.push_back(*r);
    }
    return rs;
}

std::optional<std::pair<std::string, std::string>> bandAround(std::string_view centre, int64_t halfWidthMHz,
                                                              char decimalSeparator) {
    const auto parts = tryExactDecimal(centre, decimalSeparator);
    if (!parts) return std::nullopt;
    const int decimals = decimalsOf(*parts);
    const auto c = decimals <= kMostDigits ? scaled(*parts, decimals) : std::nullopt;
    if (!c) return std::nullopt;
    const __int128 half = halfWidthMHz * tenTo(decimals);
    return std::pair(scaledText(std::max<__int128>(*c - half, 0), decimals, decimalSeparator),
                     scaledText(std::max<__int128>(*c + half, 0), decimals, decimalSeparator));
}

std::string sweepSizeProblem(const SweepSteps& steps, size_t rCount, const SweepWords& words) {
    const __int128 lines = static_cast<__int128>(steps.count()) * static_cast<__int128>(rCount);
    if (lines <= kMostSweepLines) return {};
    const std::string count = steps.count() == std::numeric_limits<int64_t>::max() ? "more than 9223372036854775806"
                                                                                   : std::to_string(steps.count());
    return "at most " + std::to_string(kMostSweepLines) + " " + words.lines + " in one sweep: " + count +
           " outputs x " + std::to_string(rCount) + " values of R";
}

SweepPoint sweepPoint(const SweepInputs& in, int64_t index, size_t rIndex) { return PointPlanner(in)(index, rIndex); }

void sweep(const SweepInputs& in, const std::function<bool(const SweepPoint&)>& visit) {
    const PointPlanner plan(in);
    for (int64_t i = 0; i < in.steps.count(); ++i)
        for (size_t r = 0; r < in.rs.size(); ++r)
            if (!visit(plan(i, r))) return;
}

}  // namespace planning
