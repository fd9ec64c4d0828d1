#pragma once
// Capture of received bytes and their status-log text. Pure logic.
#include <cstdint>
#include <string>

#include "device/link_fields.h"

namespace device {

// Stores b as the byte just read: RxByte, RxSeen and, while RxBuffer has room, the capture.
// A full buffer drops the byte from the capture only; RxCount stays at 1028.
inline void captureByte(LinkFields& f, std::uint8_t b) {
    f.RxByte = b;
    f.RxSeen = 1;
    if (f.RxCount >= 0 && f.RxCount < kRxBufferSize) f.RxBuffer[static_cast<std::size_t>(f.RxCount++)] = b;
}

// Appends the two upper-case hexadecimal digits of b and a blank: 0x4F gives "4F ".
inline void appendHexByte(std::string& out, std::uint8_t b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 0x0F]);
    out.push_back(' ');
}

}  // namespace device
