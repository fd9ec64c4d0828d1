#pragma once
// What a channel slot holds, read back from its words as a person reads them: the reference
// divider, the division ratio and the synthesizer's frequency (2 x STD / R x N, STD as the
// description quotes it), as texts for a table row.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "planning/channel_table.h"

namespace channels {

// The LocalOutput the description quotes, as typed (before its first "MHz, std=").
std::optional<std::string> outputFromDescription(std::string_view descriptionUtf8);
// The STD it quotes, as typed (from there to the next "MHz, PD=").
std::optional<std::string> stdFromDescription(std::string_view descriptionUtf8);
// The PD it quotes, as the search showed it (from there to the next "Hz").
std::optional<std::string> pdFromDescription(std::string_view descriptionUtf8);
// The decimal separator a quoted number reads with: the window's, else "." (a list's, or the
// quote of another locale).
char quotedSeparator(std::string_view numberText, char decimalSeparator);

// N_INT + NFrac / 2^24 with nine decimals, ties to even ("12.339999974").
std::string ratioText(int64_t nInt, int64_t nFrac, char decimalSeparator);

// One slot as texts. A value its words or description do not give is "".
struct ChannelRow {
    std::string description;  // UTF-8
    std::string RefReg, IntgReg, FracReg, CPReg;
    std::string R, N_INT, NFrac, N, synthesizerHz;
};
ChannelRow channelRow(const planning::ChannelTable& table, int channel, char decimalSeparator);

}  // namespace channels
