#include "settings/settings_values.h"

#include <algorithm>
#include <array>

#include "planning/register_words.h"
#include "planning/spur.h"

namespace settings {
namespace {

using V = SettingsValues;

constexpr SettingKey text(std::string_view section, std::string_view key, std::string_view control,
                          std::string V::*field, std::string_view fallback) {
    return {section, key, KeyKind::Text, control, field, nullptr, 0, 0, fallback};
}

constexpr SettingKey number(KeyKind kind, std::string_view section, std::string_view key, std::string_view control,
                            int V::*field, int items, int fallback) {
    return {section, key, kind, control, nullptr, field, items, fallback, {}};
}

constexpr SettingKey combo(std::string_view section, std::string_view key, std::string_view control, int V::*field,
                           int items, int fallback) {
    return number(KeyKind::ComboIndex, section, key, control, field, items, fallback);
}

constexpr SettingKey radio(std::string_view section, std::string_view key, std::string_view control, int V::*field,
                           int items, int fallback) {
    return number(KeyKind::RadioIndex, section, key, control, field, items, fallback);
}

constexpr SettingKey position(std::string_view section, std::string_view key, std::string_view control, int V::*field,
                              int fallback) {
    return number(KeyKind::Position, section, key, control, field, 0, fallback);
}

constexpr SettingKey check(std::string_view section, std::string_view key, std::string_view control, int V::*field) {
    return {section, key, KeyKind::Check, control, nullptr, field, 0, 0, {}, true};
}

constexpr SettingKey whole(std::string_view section, std::string_view key, std::string_view control, int V::*field,
                           int fallback) {
    return {section, key, KeyKind::Whole, control, nullptr, field, 0, fallback, {}, true};
}

// The charge-pump and modulator choices of a new plan are the defaults of their keys.
constexpr planning::ChargePumpSettings kCp{};
constexpr planning::SdSettings kSd{};

constexpr std::array kKeys{
    text("Frequency", "LocalOutput", "Edit1", &V::Edit1, "12340"),
    text("Frequency", "Multiplier", "Edit2", &V::Edit2, "100"),
    text("Frequency", "std", "Edit3", &V::Edit3, "10"),
    text("Frequency", "RDIV", "Edit11", &V::Edit11, "2"),
    combo("rs232c1", "portname", "ComboBox1", &V::ComboBox1, kComboBox1Items, 0),
    combo("rs232c1", "BAUD", "ComboBox2", &V::ComboBox2, kComboBox2Items, 0),
    radio("Memory", "Channel", "RadioGroup2", &V::RadioGroup2, kRadioGroup2Items, 0),
    SettingKey{"Vantorix", "Version", KeyKind::Version, {}},
    position("PD", "UpGain", "ScrollBar1", &V::ScrollBar1, kCp.up),
    position("PD", "DnGain", "ScrollBar2", &V::ScrollBar2, kCp.down),
    position("PD", "Offset", "ScrollBar3", &V::ScrollBar3, kCp.offset),
    radio("SD", "seed", "RadioGroup4", &V::RadioGroup4, kRadioGroup4Items, kSd.seed),
    radio("SD", "Mode", "RadioGroup5", &V::RadioGroup5, kRadioGroup5Items, kSd.mode),
    radio("SD", "frac_rstb", "RadioGroup6", &V::RadioGroup6, kRadioGroup6Items, kSd.fracRstb),
    radio("SD", "frac_bypass", "RadioGroup7", &V::RadioGroup7, kRadioGroup7Items, kSd.fracBypass),
    check("vtconfig", "ReopenTable", "ReopenTableCheckBox", &V::ReopenTableCheckBox),
    whole("vtconfig", "SpurWarnHz", "SpurWarnHzBox", &V::SpurWarnHzBox, planning::kDefaultSpurWarnHz),
};

// Each key carries the field its kind needs, and names a control unless the file writes it alone.
constexpr bool wellFormed(const SettingKey& k) {
    switch (k.kind) {
        case KeyKind::Text: return k.text != nullptr && k.number == nullptr && !k.control.empty();
        case KeyKind::Version: return k.text == nullptr && k.number == nullptr && k.control.empty();
        case KeyKind::ComboIndex:
        case KeyKind::RadioIndex:
        case KeyKind::Position:
        case KeyKind::Check:
        case KeyKind::Whole: break;
    }
    return k.number != nullptr && k.text == nullptr && !k.control.empty();
}
static_assert(std::all_of(kKeys.begin(), kKeys.end(), wellFormed));

}  // namespace

std::span<const SettingKey> settingKeys() { return kKeys; }

SettingsValues::SettingsValues() {
    for (const SettingKey& k : kKeys) {
        if (k.text) this->*k.text = std::string(k.textDefault);
        if (k.number) this->*k.number = k.numberDefault;
    }
}

int withinControl(const SettingKey& key, int value) {
    switch (key.kind) {
        case KeyKind::ComboIndex: return value >= 0 && value < key.items ? value : -1;
        case KeyKind::RadioIndex: return std::clamp(value, -1, key.items - 1);
        case KeyKind::Position: return std::clamp(value, 0, kScrollBarMax);
        case KeyKind::Check: return value != 0 ? 1 : 0;
        case KeyKind::Whole: return value >= 0 ? value : key.numberDefault;
        case KeyKind::Text:
        case KeyKind::Version: break;
    }
    return value;
}

}  // namespace settings
