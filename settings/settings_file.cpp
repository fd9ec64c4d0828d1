#include "settings/settings_file.h"

#include <string_view>

#include "files/errno_text.h"
#include "files/paths.h"
#include "planning/number_text.h"
#include "text/cp932.h"
#include "text/shown.h"

namespace settings {

namespace {

std::vector<profile::KeyName> keyNames() {
    std::vector<profile::KeyName> names;
    for (const SettingKey& k : settingKeys()) names.push_back({std::string(k.section), std::string(k.key)});
    return names;
}

}  // namespace

namespace {

std::string cannotWrite(const std::string& path, int err) {
    const std::string why = files::ruleRefusal(path, err, files::Links::FollowTrusted);
    return text::shown(path) + " に書き込めません" + (why.empty() ? "" : ": " + why);
}

}  // namespace

SaveError::SaveError(const std::string& path, int err) : text::VtError(cannotWrite(path, err)), errnoValue(err) {}

std::string settingsPath() { return files::joinPath(files::currentDirectory(), "VTCONFIG.INI"); }

SettingsFile::SettingsFile(std::string path)
    : path_(std::move(path)),
      profile_(path_, keyNames()),
      texts_(settingKeys().size()),
      numbers_(texts_.size()),
      inFile_(texts_.size()) {
    for (std::size_t i = 0; i < settingKeys().size(); ++i) {
        const SettingKey& k = settingKeys()[i];
        const std::optional<std::string> stored = profile_.value(i);
        inFile_[i] = stored.has_value();
        if (k.text && stored) {
            texts_[i] = LoadedText{*stored, text::cp932ToUtf8(*stored)};
            loaded_.*k.text = texts_[i]->shown;
        } else if (k.number) {
            const std::optional<int32_t> n = stored ? planning::tryParseWhole(*stored) : std::nullopt;
            loaded_.*k.number = withinControl(k, n ? *n : k.numberDefault);
            if (k.onlyOnceChosen && stored) numbers_[i] = LoadedNumber{*stored, loaded_.*k.number};
        }
    }
}

std::string SettingsFile::textBytes(std::size_t key, const std::string& shown) const {
    const auto& loaded = texts_[key];
    return loaded && loaded->shown == shown ? loaded->bytes : text::utf8ToCp932(shown);
}

void SettingsFile::save(const SettingsValues& v) {
    std::vector<std::optional<std::string>> values;
    for (std::size_t i = 0; i < settingKeys().size(); ++i) {
        const SettingKey& k = settingKeys()[i];
        if (k.onlyOnceChosen && !inFile_[i] && v.*k.number == k.numberDefault)
            values.emplace_back();
        else if (k.text)
            values.emplace_back(textBytes(i, v.*k.text));
        else if (const auto& kept = numbers_[i]; kept && kept->value == v.*k.number)
            values.emplace_back(kept->bytes);
        else
            values.emplace_back(std::to_string(k.number ? v.*k.number : 0));  // Version: always 0
    }
    if (const int err = profile_.write(values); err != 0) throw SaveError(path_, err);
    for (std::size_t i = 0; i < values.size(); ++i) inFile_[i] = inFile_[i] || values[i].has_value();
}

SettingsValues load(const std::string& path) { return SettingsFile(path).values(); }

void save(const std::string& path, const SettingsValues& values) { SettingsFile(path).save(values); }

}  // namespace settings
