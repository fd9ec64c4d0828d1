#include "settings/settings_values.h"

#include <algorithm>
#include <array>

#include "planning/register_words.h"
#include "planning/spur.h"

namespace settings {
namespace {

using V = SettingsValues;

constexpr SettingKey text(std::string_view section, std::string_view key, std::string V::*field,
                          std::string_view fallback) {
    return {section, key, KeyKind::Text, field, nullptr, 0, 0, fallback};
}

constexpr SettingKey number(KeyKind kind, std::string_view section, std::string_view key, int V::*field, int items,
                            int fallback) {
    return {section, key, kind, nullptr, field, items, fallback, {}};
}

constexpr SettingKey combo(std::string_view section, std::string_view key, int V::*field, int items, int fallback) {
    return number(KeyKind::ComboIndex, section, key, field, items, fallback);
}

constexpr SettingKey radio(std::string_view section, std::string_view key, int V::*field, int items, int fallback) {
    return number(KeyKind::RadioIndex, section, key, field, items, fallback);
}

constexpr SettingKey position(std::string_view section, std::string_view key, int V::*field, int fallback) {
    return number(KeyKind::Position, section, key, field, 0, fallback);
}

constexpr SettingKey check(std::string_view section, std::string_view key, int V::*field) {
    return {section, key, KeyKind::Check, nullptr, field, 0, 0, {}, true};
}

constexpr SettingKey whole(std::string_view section, std::string_view key, int V::*field, int fallback) {
    return {section, key, KeyKind::Whole, nullptr, field, 0, fallback, {}, true};
}

// The charge-pump and modulator choices of a new plan are the defaults of their keys.
constexpr planning::ChargePumpSettings kCp{};
constexpr planning::SdSettings kSd{};

constexpr std::array kKeys{
    text("Frequency", "LocalOutput", &V::localOutput, "12340"),
    text("Frequency", "Multiplier", &V::multiplier, "100"),
    text("Frequency", "std", &V::std, "10"),
    text("Frequency", "RDIV", &V::r, "2"),
    combo("rs232c1", "portname", &V::portIndex, kPortItems, 0),
    combo("rs232c1", "BAUD", &V::baudIndex, kBaudItems, 0),
    radio("Memory", "Channel", &V::channel, kChannelItems, 0),
    SettingKey{"Vantorix", "Version", KeyKind::Version},
    position("PD", "UpGain", &V::upCurrent, kCp.up),
    position("PD", "DnGain", &V::downCurrent, kCp.down),
    position("PD", "Offset", &V::offsetCurrent, kCp.offset),
    radio("SD", "seed", &V::seed, kSeedItems, kSd.seed),
    radio("SD", "Mode", &V::mode, kModeItems, kSd.mode),
    radio("SD", "frac_rstb", &V::fracRstb, kFracRstbItems, kSd.fracRstb),
    radio("SD", "frac_bypass", &V::fracBypass, kFracBypassItems, kSd.fracBypass),
    check("vtconfig", "ReopenTable", &V::reopenTable),
    whole("vtconfig", "SpurWarnHz", &V::spurWarnHz, planning::kDefaultSpurWarnHz),
};

// Each key carries the field its kind needs, and none when the file writes it alone.
constexpr bool wellFormed(const SettingKey& k) {
    switch (k.kind) {
        case KeyKind::Text: return k.text != nullptr && k.number == nullptr;
        case KeyKind::Version: return k.text == nullptr && k.number == nullptr;
        case KeyKind::ComboIndex:
        case KeyKind::RadioIndex:
        case KeyKind::Position:
        case KeyKind::Check:
        case KeyKind::Whole: break;
    }
    return k.number != nullptr && k.text == nullptr;
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
