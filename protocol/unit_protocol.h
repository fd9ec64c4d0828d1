#pragma once
// The unit's byte protocol, for the window's link (device/) and the simulated unit
// (tools/vtunit): the command bytes, the reply, and the layouts of the write image and of the
// dump answer. Every size follows from the channel count. Pure logic.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/channel_count.h"

namespace protocol {

// A command is one byte; the sender waits for a reply byte, then sends CR.
inline constexpr char kInitialize = 'I';
inline constexpr char kDump = 'D';
inline constexpr char kWrite = 'W';  // after its CR the image follows, a byte per reply
inline constexpr std::uint8_t kCR = 0x0D;
// What the simulated unit answers; the window never looks at a reply, it only counts that one came.
inline constexpr std::uint8_t kAck = 0x06;

// "0" ... "7": switch to memory channel 0 ... 7.
constexpr char channelCommand(int channel) { return static_cast<char>('0' + channel); }

// The channel that a received byte switches to, or -1 when it is no channel command.
constexpr int commandChannel(std::uint8_t byte) {
    const int channel = byte - '0';
    return channel >= 0 && channel < kChannels ? channel : -1;
}

// The write image: one record per channel, channel c at kRecordSize * c; each word is its 32-bit
// pattern, least significant byte first.
inline constexpr int kWordSize = 4;
inline constexpr int kIntgRegAt = 0;
inline constexpr int kRefRegAt = 4;
inline constexpr int kCPRegAt = 8;
inline constexpr int kFracRegAt = 12;
inline constexpr int kRecordSize = 16;

constexpr int imageSize(int channels) { return channels * kRecordSize; }
inline constexpr int kImageSize = imageSize(kChannels);
// "W", its CR and the image: what a write sends, every byte after the reply to the one before.
inline constexpr int kWriteBytes = 2 + kImageSize;

// The image of a table with the shape of planning::ChannelTable: its kChannels records, in order.
template <class Table>
std::array<std::uint8_t, imageSize(Table::kChannels)> writeImage(const Table& table) {
    std::array<std::uint8_t, imageSize(Table::kChannels)> image{};
    auto put = [&image](int at, std::uint32_t word) {
        for (int i = 0; i < kWordSize; ++i)
            image[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(word >> (8 * i));
    };
    for (int c = 0; c < Table::kChannels; ++c) {
        const auto slot = static_cast<std::size_t>(c);
        const int record = kRecordSize * c;
        put(record + kIntgRegAt, table.IntgReg[slot]);
        put(record + kRefRegAt, table.RefReg[slot]);
        put(record + kCPRegAt, table.CPReg[slot]);
        put(record + kFracRegAt, table.FracReg[slot]);
    }
    return image;
}

// The simulated unit's answer to "D", sent at once: the reply byte, the memory as last written
// (an image), then the current channel number.
inline constexpr int kDumpMemoryAt = 1;
constexpr int dumpChannelAt(int channels) { return kDumpMemoryAt + imageSize(channels); }
constexpr int dumpSize(int channels) { return dumpChannelAt(channels) + 1; }

template <std::size_t ImageSize>
std::string dumpAnswer(const std::array<std::uint8_t, ImageSize>& memory, int channel) {
    static_assert(ImageSize % kRecordSize == 0, "the memory holds whole records");
    std::string out;
    out.reserve(static_cast<std::size_t>(dumpSize(static_cast<int>(ImageSize) / kRecordSize)));
    out.push_back(static_cast<char>(kAck));
    out.append(memory.begin(), memory.end());
    out.push_back(static_cast<char>(channel));
    return out;
}

}  // namespace protocol
