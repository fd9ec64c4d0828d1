#pragma once
// The operator's choices that survive a restart, as plain values, and the keys of the settings
// file that hold them: listed once, for the load, the save and the window's controls (which the
// window finds for each key itself).
#include <span>
#include <string>
#include <string_view>

#include "planning/channel_table.h"
#include "planning/choices.h"
#include "protocol/line_speeds.h"
#include "protocol/listed_ports.h"

namespace settings {

// Item counts of the lists the indexes refer to.
inline constexpr int kPortItems = protocol::kListedPorts;                         // "com1" … "com12"
inline constexpr int kBaudItems = static_cast<int>(protocol::kBaudRates.size());  // "9600", "115200"
inline constexpr int kChannelItems = planning::ChannelTable::kChannels;           // "ch0" … "ch7"
inline constexpr int kSeedItems = planning::lastChoice(planning::kSeedChoices) + 1;
inline constexpr int kModeItems = planning::lastChoice(planning::kModeChoices) + 1;
inline constexpr int kFracRstbItems = planning::lastChoice(planning::kFracRstbChoices) + 1;
inline constexpr int kFracBypassItems = planning::lastChoice(planning::kFracBypassChoices) + 1;
inline constexpr int kScrollBarMax = planning::kCurrentStepsMax;

// One value per key. Indexes are item positions, -1 = no item selected.
struct SettingsValues {
    SettingsValues();  // every key's default: what the file gives when it holds nothing usable

    int portIndex;            // 0 = "com1"
    int baudIndex;            // 0 = the first, "9600"
    int channel;              // memory channel
    std::string localOutput;  // LocalOutput (MHz)
    std::string multiplier;   // Multiplier
    std::string std;          // STD (MHz)
    std::string r;            // R
    int upCurrent;            // charge-pump up current, in steps
    int downCurrent;          // charge-pump down current, in steps
    int offsetCurrent;        // charge-pump offset current, in steps
    int seed;                 // seed select
    int mode;                 // modulator mode
    int fracRstb;             // frac_rstb
    int fracBypass;           // fracbypas
    int reopenTable;          // 1: the channel table is kept for the next start
    int spurWarnHz;           // the Channels page marks a spur nearer than this many Hz

    bool operator==(const SettingsValues&) const = default;
};

// What a key holds, and how a loaded value is kept within the range of the control that shows it.
enum class KeyKind {
    Text,        // an edit's text, as it is
    ComboIndex,  // a combo box's selected item; outside the list none (-1)
    RadioIndex,  // a radio group's item; below -1 none, beyond the last item the last
    Position,    // a scroll bar's position, limited to 0 … kScrollBarMax
    Version,     // written as 0 at every save, never read; no control
    Check,       // a check box: 1 ticked, 0 not; anything but 0 reads as ticked
    Whole,       // a spin box's whole number, 0 or more; below 0 it is unreadable: the default
};

// One key of the file: where it is, what it holds and the field of SettingsValues that carries it.
struct SettingKey {
    std::string_view section, key;
    KeyKind kind;
    std::string SettingsValues::*text = nullptr;  // KeyKind::Text
    int SettingsValues::*number = nullptr;        // the index and position kinds
    int items = 0;                                // ComboIndex, RadioIndex: the list's length
    int numberDefault = 0;
    std::string_view textDefault = {};
    // Not one of the original keys: a file that lacks it gets it only once it differs from its
    // default, so that nobody who never uses it finds his file changed.
    bool onlyOnceChosen = false;
};

// Every key, in the order of the save: the fifteen of the original file, then ours.
std::span<const SettingKey> settingKeys();

// A loaded integer kept within the range of its key's control.
int withinControl(const SettingKey& key, int value);

}  // namespace settings
