#include "ui/settings/settings_file.h"

#include <string_view>

#include "text/cp932.h"
#include "planning/number_text.h"
#include "ui/files/paths.h"

namespace settings {

namespace {

// Every key in the order of the save; the first four are the texts.
enum Key : std::size_t {
    LocalOutput, Multiplier, Std, Rdiv, PortName, Baud, Channel, Version,
    UpGain, DnGain, Offset, Seed, Mode, FracRstb, FracBypass, kKeys
};

std::vector<profile::KeyName> keyNames() {
    return {{"Frequency", "LocalOutput"}, {"Frequency", "Multiplier"}, {"Frequency", "std"},
            {"Frequency", "RDIV"},        {"rs232c1", "portname"},     {"rs232c1", "BAUD"},
            {"Memory", "Channel"},        {"Vantorix", "Version"},     {"PD", "UpGain"},
            {"PD", "DnGain"},             {"PD", "Offset"},            {"SD", "seed"},
            {"SD", "Mode"},               {"SD", "frac_rstb"},         {"SD", "frac_bypass"}};
}

}  // namespace

SaveError::SaveError(const std::string& path, int err) : text::VtError(path + " に書き込めません"), errnoValue(err) {}

std::string settingsPath() { return files::joinPath(files::currentDirectory(), "VTCONFIG.INI"); }

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)), profile_(path_, keyNames()) {
    const auto integer = [&](Key k, int fallback) {
        const auto text = profile_.value(k);
        const auto n = text ? planning::tryParseWhole(*text) : std::nullopt;
        return n ? static_cast<int>(*n) : fallback;
    };
    const auto text = [&](Key k, const std::string& fallback) {
        const auto bytes = profile_.value(k);
        if (!bytes) return fallback;
        texts_[k] = LoadedText{*bytes, text::cp932ToUtf8(*bytes)};
        return texts_[k]->shown;
    };
    const SettingsValues d;
    SettingsValues& v = loaded_;
    v.ComboBox1 = comboIndex(integer(PortName, d.ComboBox1), kComboBox1Items);
    v.ComboBox2 = comboIndex(integer(Baud, d.ComboBox2), kComboBox2Items);
    v.RadioGroup2 = radioIndex(integer(Channel, d.RadioGroup2), kRadioGroup2Items);
    v.Edit1 = text(LocalOutput, d.Edit1);
    v.Edit2 = text(Multiplier, d.Edit2);
    v.Edit3 = text(Std, d.Edit3);
    v.ScrollBar1 = scrollBarPosition(integer(UpGain, d.ScrollBar1));
    v.ScrollBar2 = scrollBarPosition(integer(DnGain, d.ScrollBar2));
    v.ScrollBar3 = scrollBarPosition(integer(Offset, d.ScrollBar3));
    v.RadioGroup4 = radioIndex(integer(Seed, d.RadioGroup4), kRadioGroup4Items);
    v.RadioGroup5 = radioIndex(integer(Mode, d.RadioGroup5), kRadioGroup5Items);
    v.RadioGroup6 = radioIndex(integer(FracRstb, d.RadioGroup6), kRadioGroup6Items);
    v.RadioGroup7 = radioIndex(integer(FracBypass, d.RadioGroup7), kRadioGroup7Items);
    v.Edit11 = text(Rdiv, d.Edit11);
}

std::string SettingsFile::textBytes(std::size_t key, const std::string& shown) const {
    const auto& loaded = texts_[key];
    return loaded && loaded->shown == shown ? loaded->bytes : text::utf8ToCp932(shown);
}

void SettingsFile::save(const SettingsValues& v) {
    using std::to_string;
    const std::vector<std::string> values{
        textBytes(LocalOutput, v.Edit1), textBytes(Multiplier, v.Edit2), textBytes(Std, v.Edit3),
        textBytes(Rdiv, v.Edit11),       to_string(v.ComboBox1),          to_string(v.ComboBox2),
        to_string(v.RadioGroup2),        to_string(0),                    to_string(v.ScrollBar1),
        to_string(v.ScrollBar2),         to_string(v.ScrollBar3),         to_string(v.RadioGroup4),
        to_string(v.RadioGroup5),        to_string(v.RadioGroup6),        to_string(v.RadioGroup7)};
    static_assert(kKeys == 15);
    if (const int err = profile_.write(values); err != 0) throw SaveError(path_, err);
}

SettingsValues load(const std::string& path) { return SettingsFile(path).values(); }

void save(const std::string& path, const SettingsValues& values) { SettingsFile(path).save(values); }

}  // namespace settings
