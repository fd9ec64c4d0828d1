#include "tools/vtctl/hex_rows.h"

#include "device/capture.h"

namespace vtctl {

std::string hexRows(std::string_view bytes, std::string_view prefix) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerRow == 0) out += prefix;
        // "4F " as the status log has it; the last blank of a row becomes its line end.
        device::appendHexByte(out, static_cast<std::uint8_t>(bytes[i]));
        if (i % kBytesPerRow == kBytesPerRow - 1 || i + 1 == bytes.size()) out.back() = '\n';
    }
    return out;
}

}  // namespace vtctl
