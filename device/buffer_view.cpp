#include "device/buffer_view.h"

#include "device/capture.h"

namespace device {

std::string bufferViewText(const std::array<std::uint8_t, kRxBufferSize>& buffer) {
    std::string text;
    text.reserve(kViewRows * (kViewColumns * 3 + 2));
    for (int r = 0; r < kViewRows; ++r) {
        for (int c = 1; c <= kViewColumns; ++c)
            appendHexByte(text, buffer[static_cast<std::size_t>(kViewColumns * r + c)]);
        text += "\r\n";
    }
    return text;
}

}  // namespace device
