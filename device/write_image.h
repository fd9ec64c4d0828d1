#pragma once
// The 128-byte image that "Write" sends: channels 0 to 7, each IntgReg, RefReg, CPReg, FracReg,
// every word least significant byte first. Pure logic.
#include <array>
#include <cstdint>

#include "device/link_fields.h"
#include "planning/channel_table.h"

namespace device {

std::array<std::uint8_t, kImageSize> buildWriteImage(const planning::ChannelTable& table);

}  // namespace device
