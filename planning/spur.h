#pragma once
// The two spurs a fractional-N plan puts near the carrier. The fractional divider, running at
// PD x N, puts its own at PD x min(f, 1 - f), f = NFrac / 2^24. The synthesizer's output 2 x PD x N
// beats with the nearest harmonic of PD at PD x min(g, 1 - g), g = frac(2N). Which is stronger
// depends on the chip's layout, so the nearer one counts. After the multiplier both keep their
// offset in Hz. Other fractional spurs and what the loop filter makes of them are not figured here.
#include <cstdint>
#include <optional>
#include <string>

#include "planning/exact_fraction.h"

namespace planning {

inline constexpr int64_t kDefaultSpurWarnHz = 1'000'000;

struct Spurs {
    std::optional<ExactFraction> fracHz;  // none when NFrac is 0 (integer mode)
    std::optional<ExactFraction> beatHz;  // none when 2N is whole: the harmonic sits on the carrier
    enum class Nearer { None, Frac, Beat } nearer = Nearer::None;

    // The nearer of the two, none when neither exists.
    const std::optional<ExactFraction>& offsetHz() const { return nearer == Nearer::Beat ? beatHz : fracHz; }
    // The offset is below thresholdHz, exactly (not its rounded text); never without a spur.
    bool below(int64_t thresholdHz) const { return offsetHz() && offsetHz()->below(thresholdHz); }
};

// NFrac as the 04h word holds it, 0 … 2^24 - 1.
Spurs spursOf(const ExactFraction& pdHz, int64_t nFrac);

// In the format of ActualHz, "none" for a spur that does not exist.
std::string spurHzText(const std::optional<ExactFraction>& hz, char decimalSeparator);

}  // namespace planning
