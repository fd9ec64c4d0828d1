// The unit protocol's layouts follow the channel count: built for a table of nine channels, the
// write image holds nine records (144 bytes) and the dump answer carries all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "protocol/unit_protocol.h"

namespace {

// The shape of planning::ChannelTable with nine channels, spare slot included.
struct NineChannelTable {
    static constexpr int kChannels = 9;
    static constexpr int kSlots = kChannels + 1;
    std::array<std::uint32_t, kSlots> RefReg{}, CPReg{}, IntgReg{}, FracReg{};
};

}  // namespace

TEST(NineChannels, ImageAndDumpLayoutsFollowTheChannelCount) {
    NineChannelTable table;
    table.IntgReg[8] = 0x06000018;
    table.RefReg[8] = 0x04000004;
    table.CPReg[8] = 0x13407FFE;
    table.FracReg[8] = 0x08AE147A;
    table.IntgReg[9] = table.RefReg[9] = table.CPReg[9] = table.FracReg[9] = 0xFFFFFFFF;  // the spare slot

    const auto image = protocol::writeImage(table);
    ASSERT_EQ(image.size(), 144u);
    const std::array<std::uint8_t, 16> ch8{0x18, 0x00, 0x00, 0x06, 0x04, 0x00, 0x00, 0x04,
                                           0xFE, 0x7F, 0x40, 0x13, 0x7A, 0x14, 0xAE, 0x08};
    EXPECT_TRUE(std::equal(ch8.begin(), ch8.end(), image.begin() + 128));
    EXPECT_EQ(std::count(image.begin(), image.begin() + 128, 0), 128);

    const std::string dump = protocol::dumpAnswer(image, 8);
    ASSERT_EQ(dump.size(), 146u);
    EXPECT_EQ(dump.front(), '\x06');
    EXPECT_EQ(dump.substr(1, 144), std::string(image.begin(), image.end()));
    EXPECT_EQ(dump.back(), '\x08');
    EXPECT_EQ(protocol::dumpChannelAt(9), 145);
}
