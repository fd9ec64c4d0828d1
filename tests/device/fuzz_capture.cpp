// libFuzzer: received bytes through the capture, the status-log hex and the "View Buffer" text.
// The first four bytes set where the capture starts (any value, also out of range); the rest arrive
// from the line. The capture never writes outside RxBuffer and the view is always 17 rows of
// 48 characters and CR LF showing RxBuffer from position 1.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/buffer_view.h"
#include "device/capture.h"

namespace {

constexpr std::int32_t kCanary = 0x5A5A5A5A;
constexpr std::uint8_t kImageCanary = 0xA5;

char hexDigit(int v) { return "0123456789ABCDEF"[v]; }

void checkView(const device::LinkFields& f) {
    const std::string view = device::bufferViewText(f.RxBuffer);
    constexpr std::size_t kRow = device::kViewColumns * 3 + 2;
    if (view.size() != device::kViewRows * kRow) std::abort();
    for (int r = 0; r < device::kViewRows; ++r) {
        const std::string row = view.substr(static_cast<std::size_t>(r) * kRow, kRow);
        if (row.compare(kRow - 2, 2, "\r\n") != 0) std::abort();
        for (int c = 0; c < device::kViewColumns; ++c) {
            const std::uint8_t b = f.RxBuffer[static_cast<std::size_t>(device::kViewColumns * r + c + 1)];
            const std::size_t at = static_cast<std::size_t>(c) * 3;
            if (row[at] != hexDigit(b >> 4) || row[at + 1] != hexDigit(b & 0x0F) || row[at + 2] != ' ') std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    device::LinkFields f;
    std::int32_t start = 0;
    std::memcpy(&start, data, sizeof start);
    data += 4;
    size -= 4;
    f.RxCount = start;
    f.RxEventCount = kCanary;
    f.WriteImage.fill(kImageCanary);
    // A pattern, so that a byte stored in the wrong place shows even when it is zero.
    for (std::size_t i = 0; i < f.RxBuffer.size(); ++i) f.RxBuffer[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const auto before = f.RxBuffer;

    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        device::captureByte(f, data[i]);
        device::appendHexByte(hex, data[i]);
    }

    if (f.RxEventCount != kCanary) std::abort();
    for (std::uint8_t b : f.WriteImage)
        if (b != kImageCanary) std::abort();
    if (size > 0 && (f.RxByte != data[size - 1] || f.RxSeen != 1)) std::abort();
    if (hex.size() != 3 * size) std::abort();

    const bool inRange = start >= 0 && start <= device::kRxBufferSize;
    const std::int64_t end =
        inRange ? std::min<std::int64_t>(std::int64_t{start} + static_cast<std::int64_t>(size), device::kRxBufferSize)
                : start;
    if (f.RxCount != end) std::abort();
    for (int i = 0; i < device::kRxBufferSize; ++i) {
        const bool captured = inRange && i >= start && i < end;
        const std::uint8_t expected = captured ? data[i - start] : before[static_cast<std::size_t>(i)];
        if (f.RxBuffer[static_cast<std::size_t>(i)] != expected) std::abort();
    }
    checkView(f);
    return 0;
}
