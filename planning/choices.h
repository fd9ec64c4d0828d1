#pragma once
// The items of the radio groups that choose the charge pump's and the modulator's settings: the
// caption the window shows for each, and the word a channel's description gives it. An index
// into one of these lists is what ChargePumpSettings and SdSettings hold (-1: no item selected);
// the window's groups, the settings file's ranges, vtplan's options and the description all
// take their items from here.
#include <array>
#include <cstddef>
#include <string_view>

namespace planning {

struct Choice {
    std::string_view caption;  // on the radio button
    std::string_view word;     // in a channel's description
};

// "CP add 3.5mA"
inline constexpr std::array<Choice, 2> kHiKChoices{{{"On", "On"}, {"Off", "Off"}}};
// "Offset Dir": the sign of the offset current in the description
inline constexpr std::array<Choice, 2> kOffsetDirChoices{{{"Up", "+"}, {"Down", "-"}}};
// "seed select"
inline constexpr std::array<Choice, 4> kSeedChoices{
    {{"0", "0"}, {"LSB", "LSB"}, {"B29D08h", "B29D08h"}, {"50F1CDh", "50F1CDh"}}};
// "Modulator Mode": the two reserved modes share a caption, the description tells them apart
inline constexpr std::array<Choice, 4> kModeChoices{
    {{"Reserved", "reserved1"}, {"Reserved", "reserved2"}, {"ModeB", "ModeB"}, {"ModeA", "ModeA"}}};
// "frac_rstb"
inline constexpr std::array<Choice, 2> kFracRstbChoices{{{"Disable", "Disable"}, {"Enable", "Enable"}}};
// "fracbypas"
inline constexpr std::array<Choice, 2> kFracBypassChoices{{{"use", "Use"}, {"bypass", "Bypass"}}};

// The description's word for item index of choices; nothing for no item (or an unknown one).
template <std::size_t N>
constexpr std::string_view choiceWord(const std::array<Choice, N>& choices, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) return {};
    return choices[static_cast<std::size_t>(index)].word;
}

// The highest item index of choices.
template <std::size_t N>
constexpr int lastChoice(const std::array<Choice, N>&) {
    return static_cast<int>(N) - 1;
}

}  // namespace planning
