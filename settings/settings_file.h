#pragma once
// The settings file VTCONFIG.INI in the current directory: loaded when the window is created,
// saved when it closes. The file is read once at the load and replaced once at the save.
#include <optional>
#include <string>

#include "settings/private_profile.h"
#include "settings/settings_values.h"
#include "text/vt_error.h"

namespace settings {

// A save that could not write the file. what() is the operator's text
// "<full path> に書き込めません"; errnoValue says why.
struct SaveError : text::VtError {
    SaveError(const std::string& path, int errnoValue);
    int errnoValue;
};

// The current directory followed by "/VTCONFIG.INI".
std::string settingsPath();

// One settings file from its load to its save.
class SettingsFile {
public:
    // Reads the file. Whatever is missing or unusable takes its default, and every index and
    // position comes back within its control's range. Never writes, never throws for file
    // trouble; a file that is there but cannot be used (no regular file, a link that is not
    // followed, too large) gives the defaults and is never replaced.
    explicit SettingsFile(std::string path);

    const SettingsValues& values() const { return loaded_; }

    // Writes all keys in one replacement of the file, creating it when absent; throws SaveError
    // and leaves the file as it was when that fails. A text the operator did not change goes
    // back byte for byte as it was read, even where it is no valid code page 932.
    void save(const SettingsValues& values);

private:
    // A text value as read and as the window shows it.
    struct LoadedText {
        std::string bytes, shown;
    };
    // A number as read and the value it gave.
    struct LoadedNumber {
        std::string bytes;
        int value;
    };
    std::string textBytes(std::size_t key, const std::string& shown) const;

    std::string path_;
    profile::PrivateProfile profile_;
    SettingsValues loaded_;
    std::vector<std::optional<LoadedText>> texts_;  // per key; the text keys found in the file
    // Per key of our own: while the value stays, the line goes back as it was, so one the program
    // cannot read (SpurWarnHz=-5) is neither lost nor rewritten.
    std::vector<std::optional<LoadedNumber>> numbers_;
    std::vector<bool> inFile_;  // per key: found at the load or written since
};

// SettingsFile(path).values().
SettingsValues load(const std::string& path);

// SettingsFile(path).save(values): texts equal to what the file holds stay byte for byte.
void save(const std::string& path, const SettingsValues& values);

}  // namespace settings
