#pragma once
// The link's working fields. The window owns them (through its DeviceLink); they start at zero
// and live as long as the window. GUI thread only.
#include <array>
#include <cstdint>

#include "protocol/unit_protocol.h"

namespace device {

inline constexpr int kRxBufferSize = 1028;

struct LinkFields {
    std::int32_t RxEventCount = 0;                       // receive events handled since start
    std::uint8_t RxByte = 0;                             // the byte most recently read
    std::int32_t RxSeen = 0;                             // 1 once a byte was read since the last clear
    std::array<std::uint8_t, kRxBufferSize> RxBuffer{};  // capture of received bytes
    std::int32_t RxCount = 0;                            // where the next byte is stored; never above 1028
    // Held apart from RxBuffer (the original design's image is its positions 513 to 640), so no
    // captured reply can change what is being sent, and an image of more channels needs no room
    // there.
    std::array<std::uint8_t, protocol::kImageSize> WriteImage{};
};

}  // namespace device
