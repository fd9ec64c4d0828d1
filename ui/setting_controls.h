#pragma once
// The window's control of each settings key, found by its name once, when the window is made.
// A key whose control is missing or of another kind than the key holds is reported and left out
// of the load and the save, so a slip in the names shows as one message at start instead of a
// crash, and the key's value in the file stays as it was.
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/settings_values.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;
class QScrollBar;
class QSpinBox;
class TRadioGroup;

// A settings key and the name of the control that shows it.
struct KeyControl {
    const settings::SettingKey* key;
    std::string_view control;  // "" when no control is named for the key
};

// Each key but the version (the file writes it alone) with its control's name.
std::vector<KeyControl> keyControls(std::span<const settings::SettingKey> keys);

class SettingControls {
public:
    SettingControls(const QObject& form, std::span<const KeyControl> keys);

    // One line per key that found no control, empty when every key has its control.
    const QStringList& problems() const { return problems_; }
    void load(const settings::SettingsValues& values) const;  // into the controls
    void save(settings::SettingsValues& values) const;        // from them; keys left out keep values'

private:
    using Control = std::variant<QLineEdit*, QComboBox*, TRadioGroup*, QScrollBar*, QCheckBox*, QSpinBox*>;
    static std::optional<Control> lookUp(const QObject& form, const KeyControl& key);
    struct Bound {
        const settings::SettingKey* key;
        Control control;
    };
    std::vector<Bound> bound_;
    QStringList problems_;
};
