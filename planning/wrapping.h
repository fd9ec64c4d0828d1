#pragma once
// Signed 64-bit arithmetic that keeps the low 64 bits, as the plan's arithmetic does.
#include <cstdint>

namespace planning::wrapping {

inline int64_t add(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
inline int64_t sub(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
inline int64_t mul(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

// Truncating division; INT64_MIN div -1 wraps to INT64_MIN instead of trapping. b must not be 0.
inline int64_t div(int64_t a, int64_t b) {
    if (b == -1) return static_cast<int64_t>(uint64_t{0} - static_cast<uint64_t>(a));
    return a / b;
}

}  // namespace planning::wrapping
