#pragma once
// What a channel slot holds, read back from its words as a person reads them: the reference
// divider, the division ratio and the synthesizer's frequency, as texts for a table row.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "planning/channel_table.h"

namespace planning {

// The data of word when it is laid out as registerWord(registerNumber, data) makes it; nullopt
// for any other word (a slot never set holds 0, which is no word of any register).
std::optional<uint32_t> registerData(uint32_t word, uint32_t registerNumber);

// The integer between the description's last "PD=" and the "Hz" after it; nullopt when that
// is not a whole number (a blank label, an edited file).
std::optional<int64_t> pdFromDescription(std::string_view descriptionUtf8);

// N_INT + NFrac / 2^24 with nine decimals, ties to even ("12.339999974").
std::string ratioText(int64_t nInt, int64_t nFrac, char decimalSeparator);

// 2 * PD * (N_INT + NFrac / 2^24) in Hz with three decimals, ties to even.
std::string synthesizerHzText(int64_t pdHz, int64_t nInt, int64_t nFrac, char decimalSeparator);

// One slot as texts. A value its words or description do not give is "".
struct ChannelRow {
    std::string description;  // UTF-8
    std::string RefReg, IntgReg, FracReg, CPReg;
    std::string R, N_INT, NFrac, N, synthesizerHz;
};
ChannelRow channelRow(const ChannelTable& table, int channel, char decimalSeparator);

}  // namespace planning
