#pragma once
// The plan's figures worked out exactly with 128-bit integers and fractions, for tests: nothing
// of the code under test is used. Positive inputs in Hz.
#include <string>

namespace exactref {

using i128 = __int128;
inline constexpr i128 kSteps = i128{1} << 24;
inline constexpr i128 kMostR = 16384;  // the most the 02h word holds

inline i128 floorDiv(i128 a, i128 b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

// num / den (den > 0) with three decimals, an exact half to the even neighbour.
inline std::string decimal3(i128 num, i128 den) {
    const bool negative = num < 0;
    if (negative) num = -num;
    i128 q = num * 1000 / den;
    const i128 twiceRest = 2 * (num * 1000 % den);
    if (twiceRest > den || (twiceRest == den && q % 2 != 0)) ++q;
    std::string digits;
    for (i128 v = q; v != 0 || digits.size() < 4; v /= 10) digits.insert(digits.begin(), char('0' + int(v % 10)));
    digits.insert(digits.end() - 3, '.');
    return (negative && q != 0 ? "-" : "") + digits;
}

// The R the unit divides by: the 02h word holds at most 16384.
inline i128 wordR(i128 typedR) { return typedR > kMostR ? kMostR : typedR; }

// The plan's PD, cut to whole hertz, and the ratio in 2^-24 steps, (VCO / 2) / PD rounded to the
// nearest step, halves up.
struct Ratio {
    i128 pd, steps;
};
inline Ratio ratio(i128 localOutputHz, i128 multiplier, i128 stdHz, i128 r) {
    const i128 pd = stdHz / r, half = localOutputHz / multiplier / 2;
    return {pd, (2 * half * kSteps + pd) / (2 * pd)};
}

// Frequencies below are given in 1/scale Hz, r is the word's. Multiplier x 2 x STD / r x N: what
// the unit puts out, in Hz; and that minus the output asked for.
inline std::string actualHz(i128 multiplier, i128 std, i128 r, i128 steps, i128 scale = 1) {
    return decimal3(multiplier * 2 * std * steps, r * kSteps * scale);
}
inline std::string errorHz(i128 localOutput, i128 multiplier, i128 std, i128 r, i128 steps, i128 scale = 1) {
    return decimal3(multiplier * 2 * std * steps - localOutput * r * kSteps, r * kSteps * scale);
}

// A spur as num / den Hz, or none.
struct Spur {
    bool none;
    i128 num, den;
};
// |STD / r| x the distance of x / 2^24 to the nearest whole number; none when x / 2^24 is whole.
inline Spur spurAt(i128 std, i128 r, i128 x, i128 scale) {
    i128 distance = x - floorDiv(2 * x + kSteps, 2 * kSteps) * kSteps;
    if (distance < 0) distance = -distance;
    if (distance == 0) return {true, 0, 1};
    return {false, distance * (std < 0 ? -std : std), (r < 0 ? -r : r) * kSteps * scale};
}
// The fractional divider's, at the distance of N from a whole number.
inline Spur fracSpur(i128 std, i128 r, i128 steps, i128 scale = 1) { return spurAt(std, r, steps, scale); }
// The output's beat with the nearest harmonic of PD, at the distance of 2N from a whole number.
inline Spur beatSpur(i128 std, i128 r, i128 steps, i128 scale = 1) { return spurAt(std, r, 2 * steps, scale); }
inline Spur nearer(const Spur& a, const Spur& b) {
    if (a.none || b.none) return a.none ? b : a;
    return b.num * a.den < a.num * b.den ? b : a;
}
inline Spur spurOffset(i128 std, i128 r, i128 steps, i128 scale = 1) {
    return nearer(fracSpur(std, r, steps, scale), beatSpur(std, r, steps, scale));
}

inline std::string text(const Spur& s) { return s.none ? "none" : decimal3(s.num, s.den); }
inline bool below(const Spur& s, i128 thresholdHz) { return !s.none && s.num < thresholdHz * s.den; }

}  // namespace exactref
