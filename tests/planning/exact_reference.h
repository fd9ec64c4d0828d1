#pragma once
// The plan's figures worked out exactly with 128-bit integers and fractions, for tests: nothing
// of the code under test is used. Positive inputs in Hz.
#include <string>

namespace exactref {

using i128 = __int128;
inline constexpr i128 kSteps = i128{1} << 24;

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

// PD and the ratio in 2^-24 steps, (VCO / 2) / PD rounded to the nearest step, halves up.
struct Ratio {
    i128 pd, steps;
};
inline Ratio ratio(i128 localOutputHz, i128 multiplier, i128 stdHz, i128 r) {
    const i128 pd = stdHz / r, half = localOutputHz / multiplier / 2;
    return {pd, (2 * half * kSteps + pd) / (2 * pd)};
}

// Multiplier x 2 x PD x N minus the output asked for, in Hz.
inline std::string errorHz(i128 localOutputHz, i128 multiplier, const Ratio& q) {
    return decimal3(multiplier * 2 * q.pd * q.steps - localOutputHz * kSteps, kSteps);
}

// The output over PD is 2 x steps / 2^24; the spur sits at its distance to the nearest whole
// number, times |PD|, as num / den Hz. Integer mode when the steps are whole.
struct Offset {
    bool integerMode;
    i128 num, den;
};
inline Offset spurOffset(i128 pd, i128 steps) {
    if (steps % kSteps == 0) return {true, 0, 1};
    const i128 twice = 2 * steps;
    i128 distance = twice - floorDiv(twice + kSteps / 2, kSteps) * kSteps;
    if (distance < 0) distance = -distance;
    return {false, distance * (pd < 0 ? -pd : pd), kSteps};
}
inline std::string spurText(i128 pd, i128 steps) {
    const Offset o = spurOffset(pd, steps);
    return o.integerMode ? "none" : decimal3(o.num, o.den);
}
inline bool spurBelow(i128 pd, i128 steps, i128 thresholdHz) {
    const Offset o = spurOffset(pd, steps);
    return !o.integerMode && o.num < thresholdHz * o.den;
}

}  // namespace exactref
