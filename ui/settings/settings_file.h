#pragma once
// The settings file VTCONFIG.INI in the current directory: loaded when the window is created,
// saved when it closes. One profile call per key, in a fixed order.
#include <string>

#include "planning/vt_error.h"
#include "ui/settings/settings_values.h"

namespace settings {

// A save that stopped at a key it could not write. what() is the operator's text
// "<full path> に書き込めません"; errnoValue says why.
struct SaveError : planning::VtError {
    SaveError(const std::string& path, int errnoValue);
    int errnoValue;
};

// The current directory followed by "/VTCONFIG.INI".
std::string settingsPath();

// Reads every key; whatever is missing or unusable takes its default, and every index and
// position comes back within its control's range. Never writes, never throws for file trouble.
SettingsValues load(const std::string& path);

// Writes every key, creating the file when absent. Stops at the first key that cannot be
// written and throws SaveError; keys before it stay written, the file is never left damaged.
void save(const std::string& path, const SettingsValues& values);

}  // namespace settings
