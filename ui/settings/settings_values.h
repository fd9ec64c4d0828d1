#pragma once
// The operator's choices that survive a restart, as plain values, and the limits that the
// controls put on them. The window only copies these into and out of its controls.
#include <string>

#include "planning/channel_table.h"

namespace settings {

// Item counts of the lists the indexes refer to.
inline constexpr int kComboBox1Items = 12;   // "com1" … "com12"
inline constexpr int kComboBox2Items = 2;    // "9600", "115200"
inline constexpr int kRadioGroup2Items = planning::ChannelTable::kChannels;  // "ch0" … "ch7"
inline constexpr int kRadioGroup4Items = 4;  // seed select
inline constexpr int kRadioGroup5Items = 4;  // Modulator Mode
inline constexpr int kRadioGroup6Items = 2;  // frac_rstb
inline constexpr int kRadioGroup7Items = 2;  // fracbypas
inline constexpr int kScrollBarMax = 127;

// Indexes are item positions, -1 = no item selected. The initialisers are the values used
// when the file holds nothing usable.
struct SettingsValues {
    int ComboBox1 = 0;    // port: 0 = "com1"
    int ComboBox2 = 0;    // baud: 0 = "9600"
    int RadioGroup2 = 0;  // memory channel
    std::string Edit1 = "12340";  // LocalOutput (MHz)
    std::string Edit2 = "100";    // Multiplier
    std::string Edit3 = "10";     // STD (MHz)
    std::string Edit11 = "2";     // R
    int ScrollBar1 = 127;  // charge-pump up current
    int ScrollBar2 = 127;  // charge-pump down current
    int ScrollBar3 = 0;    // charge-pump offset current
    int RadioGroup4 = 2;   // seed: "B29D08h"
    int RadioGroup5 = 3;   // mode: "ModeA"
    int RadioGroup6 = 1;   // frac_rstb: "Enable"
    int RadioGroup7 = 0;   // fracbypas: "use"

    bool operator==(const SettingsValues&) const = default;
};

// A scroll-bar position limited to 0 … kScrollBarMax.
int scrollBarPosition(int value);
// A radio-group index: below -1 becomes -1 (none), beyond the last item the last item.
int radioIndex(int value, int items);
// A combo-box index: anything outside the list is -1 (none).
int comboIndex(int value, int items);

}  // namespace settings
