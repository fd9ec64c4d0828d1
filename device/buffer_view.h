#pragma once
// The "View Buffer" text: 17 rows of 16 bytes from RxBuffer position 1 (position 0 is not shown),
// each byte "XX ", each row ended by CR LF. Pure logic.
#include <array>
#include <cstdint>
#include <string>

#include "device/link_fields.h"

namespace device {

inline constexpr int kViewRows = 17;
inline constexpr int kViewColumns = 16;
static_assert(1 + kViewRows * kViewColumns <= kRxBufferSize, "the view stays inside RxBuffer");

std::string bufferViewText(const std::array<std::uint8_t, kRxBufferSize>& buffer);

}  // namespace device
