#pragma once
// The baud rates the unit's serial line runs at, in the order the window lists them. The first is
// the default: of the window's list, of vtctl, and of a link given no rate it can read.
#include <array>

namespace protocol {

inline constexpr std::array<int, 2> kBaudRates{9600, 115200};
inline constexpr int kDefaultBaud = kBaudRates.front();

}  // namespace protocol
