#include "device/write_image.h"

namespace device {

std::array<std::uint8_t, kImageSize> buildWriteImage(const planning::ChannelTable& table) {
    std::array<std::uint8_t, kImageSize> image{};
    std::size_t at = 0;
    auto put = [&](std::uint32_t word) {
        for (int i = 0; i < 4; ++i) image[at++] = static_cast<std::uint8_t>(word >> (8 * i));
    };
    for (int c = 0; c < planning::ChannelTable::kChannels; ++c) {
        const auto slot = static_cast<std::size_t>(c);
        put(table.IntgReg[slot]);
        put(table.RefReg[slot]);
        put(table.CPReg[slot]);
        put(table.FracReg[slot]);
    }
    return image;
}

}  // namespace device
