#include "ui/settings/settings_file.h"

#include <string_view>

#include "planning/number_text.h"
#include "ui/files/atomic_file.h"
#include "ui/settings/private_profile.h"

namespace settings {

namespace {

int readInteger(const std::string& path, std::string_view section, std::string_view key, int fallback) {
    const auto n = planning::tryParseWhole(profile::getProfileString(path, section, key, ""));
    return n ? static_cast<int>(*n) : fallback;
}

std::string readText(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view fallback) {
    return profile::getProfileString(path, section, key, fallback);
}

void write(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    if (const int err = profile::writeProfileString(path, section, key, value); err != 0) throw SaveError(path, err);
}

void write(const std::string& path, std::string_view section, std::string_view key, int value) {
    write(path, section, key, std::to_string(value));
}

}  // namespace

SaveError::SaveError(const std::string& path, int err) : planning::VtError(path + " に書き込めません"), errnoValue(err) {}

std::string settingsPath() { return files::joinPath(files::currentDirectory(), "VTCONFIG.INI"); }

SettingsValues load(const std::string& path) {
    const SettingsValues d;
    SettingsValues v;
    v.ComboBox1 = comboIndex(readInteger(path, "rs232c1", "portname", d.ComboBox1), kComboBox1Items);
    v.ComboBox2 = comboIndex(readInteger(path, "rs232c1", "BAUD", d.ComboBox2), kComboBox2Items);
    v.RadioGroup2 = radioIndex(readInteger(path, "Memory", "Channel", d.RadioGroup2), kRadioGroup2Items);
    v.Edit1 = readText(path, "Frequency", "LocalOutput", d.Edit1);
    v.Edit2 = readText(path, "Frequency", "Multiplier", d.Edit2);
    v.Edit3 = readText(path, "Frequency", "std", d.Edit3);
    v.ScrollBar1 = scrollBarPosition(readInteger(path, "PD", "UpGain", d.ScrollBar1));
    v.ScrollBar2 = scrollBarPosition(readInteger(path, "PD", "DnGain", d.ScrollBar2));
    v.ScrollBar3 = scrollBarPosition(readInteger(path, "PD", "Offset", d.ScrollBar3));
    v.RadioGroup4 = radioIndex(readInteger(path, "SD", "seed", d.RadioGroup4), kRadioGroup4Items);
    v.RadioGroup5 = radioIndex(readInteger(path, "SD", "Mode", d.RadioGroup5), kRadioGroup5Items);
    v.RadioGroup6 = radioIndex(readInteger(path, "SD", "frac_rstb", d.RadioGroup6), kRadioGroup6Items);
    v.RadioGroup7 = radioIndex(readInteger(path, "SD", "frac_bypass", d.RadioGroup7), kRadioGroup7Items);
    v.Edit11 = readText(path, "Frequency", "RDIV", d.Edit11);
    return v;
}

void save(const std::string& path, const SettingsValues& v) {
    write(path, "Frequency", "LocalOutput", v.Edit1);
    write(path, "Frequency", "Multiplier", v.Edit2);
    write(path, "Frequency", "std", v.Edit3);
    write(path, "Frequency", "RDIV", v.Edit11);
    write(path, "rs232c1", "portname", v.ComboBox1);
    write(path, "rs232c1", "BAUD", v.ComboBox2);
    write(path, "Memory", "Channel", v.RadioGroup2);
    write(path, "Vantorix", "Version", 0);
    write(path, "PD", "UpGain", v.ScrollBar1);
    write(path, "PD", "DnGain", v.ScrollBar2);
    write(path, "PD", "Offset", v.ScrollBar3);
    write(path, "SD", "seed", v.RadioGroup4);
    write(path, "SD", "Mode", v.RadioGroup5);
    write(path, "SD", "frac_rstb", v.RadioGroup6);
    write(path, "SD", "frac_bypass", v.RadioGroup7);
}

}  // namespace settings
