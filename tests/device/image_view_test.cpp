// The write image and the buffer view text.
#include <gtest/gtest.h>

#include "device/buffer_view.h"
#include "planning/channel_table.h"
#include "protocol/unit_protocol.h"
#include "tests/device/example_words.h"

TEST(WriteImage, ChannelRecordIsIntgRefCpFracLeastSignificantFirst) {
    planning::ChannelTable table;
    table.set(0, vttest::kExampleWords, "d");
    table.set(7,
              planning::RegisterWords{
                  .RefReg = 0x11223344, .IntgReg = 0xA1B2C3D4, .FracReg = 1, .CPReg = 2, .SDReg = 0xFFFFFFFF},
              "d");
    const auto image = protocol::writeImage(table);
    const std::array<std::uint8_t, 16> ch0{0x18, 0x00, 0x00, 0x06, 0x04, 0x00, 0x00, 0x04,
                                           0xFE, 0x7F, 0x40, 0x13, 0x7A, 0x14, 0xAE, 0x08};
    EXPECT_TRUE(std::equal(ch0.begin(), ch0.end(), image.begin()));
    const std::array<std::uint8_t, 16> ch7{0xD4, 0xC3, 0xB2, 0xA1, 0x44, 0x33, 0x22, 0x11, 2, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_TRUE(std::equal(ch7.begin(), ch7.end(), image.begin() + 112));
    for (int i = 16; i < 112; ++i) EXPECT_EQ(image[static_cast<std::size_t>(i)], 0) << i;
}

TEST(WriteImage, SlotEightNeverReachesTheImage) {
    planning::ChannelTable table;
    table.IntgReg[8] = table.RefReg[8] = table.CPReg[8] = table.FracReg[8] = 0xFFFFFFFF;
    for (auto b : protocol::writeImage(table)) EXPECT_EQ(b, 0);
}

TEST(BufferView, SeventeenRowsOfZerosAtStart) {
    const std::array<std::uint8_t, device::kRxBufferSize> empty{};
    std::string row;
    for (int i = 0; i < 16; ++i) row += "00 ";
    row += "\r\n";
    std::string all;
    for (int r = 0; r < 17; ++r) all += row;
    EXPECT_EQ(device::bufferViewText(empty), all);
}

TEST(BufferView, CoversPositionsOneTo272) {
    std::array<std::uint8_t, device::kRxBufferSize> buf{};
    buf[0] = 0xAA;
    buf[1] = 0x01;
    buf[16] = 0x10;
    buf[17] = 0x11;
    buf[272] = 0xFF;
    buf[273] = 0xBB;
    const std::string text = device::bufferViewText(buf);
    ASSERT_EQ(text.size(), 17u * 50);
    EXPECT_EQ(text.substr(0, 3), "01 ");
    EXPECT_EQ(text.substr(45, 5), "10 \r\n");
    EXPECT_EQ(text.substr(50, 3), "11 ");
    EXPECT_EQ(text.substr(text.size() - 5), "FF \r\n");
    EXPECT_EQ(text.find("AA"), std::string::npos);
    EXPECT_EQ(text.find("BB"), std::string::npos);
}
