#include "planning/spur.h"

#include "planning/exact_int.h"

namespace planning {
namespace {

constexpr unsigned kFractionBits = 24;
constexpr int64_t kSteps = int64_t{1} << kFractionBits;
constexpr unsigned kDecimals = 3;
// mHz = d * PD * 1000 / 2^24 = d * PD * 125 / 2^21
constexpr int64_t kMilliOver8 = 125;
constexpr unsigned kShift = kFractionBits - 3;

// A distance has no sign, though a plan of negative inputs has a negative PD.
__int128 magnitude(int64_t pd) { return pd < 0 ? -static_cast<__int128>(pd) : pd; }

}  // namespace

std::optional<int64_t> spurSteps(int64_t nFrac) {
    if (nFrac == 0) return std::nullopt;
    // Only the low 24 bits of 2 x NFrac count; two's complement gives the non-negative residue.
    const int64_t g = static_cast<int64_t>((static_cast<uint64_t>(nFrac) << 1) & (kSteps - 1));
    return g < kSteps - g ? g : kSteps - g;
}

std::string spurOffsetHzText(int64_t pdHz, int64_t nFrac, char decimalSeparator) {
    const auto d = spurSteps(nFrac);
    if (!d) return "none";
    return (ExactInt(*d) * ExactInt::fromInt128(magnitude(pdHz)) * ExactInt(kMilliOver8))
        .roundedShiftRight(kShift)
        .toFixed(kDecimals, decimalSeparator);
}

bool spurBelow(int64_t pdHz, int64_t nFrac, int64_t thresholdHz) {
    const auto d = spurSteps(nFrac);
    if (!d) return false;
    return *d * magnitude(pdHz) < static_cast<__int128>(thresholdHz) * kSteps;
}

}  // namespace planning
