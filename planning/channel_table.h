#pragma once
// The memory channels' words and descriptions, kept for one program run.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "planning/register_words.h"
#include "protocol/channel_count.h"

namespace planning {

struct DescriptionInputs {
    std::string localOutput, std, pdHz;  // LocalOutput and STD as typed, PD as the search shows it
    ChargePumpSettings cp = {};
    SdSettings sd = {};
};

// The one-line description of a channel: 22 pieces, no other separators. Text typed or pasted
// into the inputs may hold line breaks and other control characters; each one (CR, LF, VT, FF,
// NEL, the line and paragraph separators, every other C0 byte but tab) becomes a blank, so the
// description never spans lines.
std::string ChannelDescription(const DescriptionInputs& in);

// The longest description a register header holds, in bytes of code page 932 as the file has
// them; the window's own are about 200. The header's reader and every maker of a description
// hold to it, so no header is written that the program would refuse to read.
inline constexpr std::size_t kMaxDescriptionBytes = 1024;

// Why text cannot stand in a comment line of a register header, which C would then read
// otherwise than the header's reader: "holds the control byte 0x0D, …" for a C0 byte but tab,
// "holds `??/`, …" for the trigraph of a backslash. Empty when it can.
std::string commentTextProblem(std::string_view text);

// Why a description (code page 932) cannot go into a register header and come back from it:
// longer than kMaxDescriptionBytes; holding a control byte other than tab, or `??/`; or ending
// (blanks and tabs at the line's end aside) in byte 0x5C, which C takes as joining the next line
// to the comment. Empty when it can.
std::string descriptionProblem(std::string_view cp932);

// The unit's channels, as many as protocol::kChannels. One slot more than channels: the table of
// the original design had a ninth slot that nothing writes or reads, and the table keeps that shape.
class ChannelTable {
public:
    static constexpr int kChannels = protocol::kChannels;
    static constexpr int kSlots = kChannels + 1;

    std::array<uint32_t, kSlots> RefReg{};
    std::array<uint32_t, kSlots> CPReg{};
    std::array<uint32_t, kSlots> IntgReg{};
    std::array<uint32_t, kSlots> FracReg{};
    std::array<uint32_t, kSlots> SDReg{};
    std::array<std::string, kSlots> ChannelDescription{};

    // Replaces the whole entry of a channel 0..7; any other index is ignored.
    void set(int channel, const RegisterWords& words, std::string description);
};

}  // namespace planning
