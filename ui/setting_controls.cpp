#include "ui/setting_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>

#include "ui/radio_group.h"

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

// What a report calls the control a kind of key needs.
const char* controlKind(settings::KeyKind kind) {
    switch (kind) {
        case settings::KeyKind::Text: return "line edit";
        case settings::KeyKind::ComboIndex: return "combo box";
        case settings::KeyKind::RadioIndex: return "radio group";
        case settings::KeyKind::Position: return "scroll bar";
        case settings::KeyKind::Check: return "check box";
        case settings::KeyKind::Whole: return "spin box";
        case settings::KeyKind::Version: break;
    }
    return "control";
}

QString keyName(const settings::SettingKey& k) {
    return QStringLiteral("[%1] %2").arg(QString::fromLatin1(k.section), QString::fromLatin1(k.key));
}

using V = settings::SettingsValues;

// The control that shows each field of the settings, by its name in the layout.
struct ShownIn {
    std::string V::*text = nullptr;
    int V::*number = nullptr;
    std::string_view control;
};
constexpr ShownIn shown(std::string V::*text, std::string_view control) { return {text, nullptr, control}; }
constexpr ShownIn shown(int V::*number, std::string_view control) { return {nullptr, number, control}; }

constexpr ShownIn kShownIn[] = {
    shown(&V::localOutput, "Edit1"),
    shown(&V::multiplier, "Edit2"),
    shown(&V::std, "Edit3"),
    shown(&V::r, "Edit11"),
    shown(&V::portIndex, "ComboBox1"),
    shown(&V::baudIndex, "ComboBox2"),
    shown(&V::channel, "RadioGroup2"),
    shown(&V::upCurrent, "ScrollBar1"),
    shown(&V::downCurrent, "ScrollBar2"),
    shown(&V::offsetCurrent, "ScrollBar3"),
    shown(&V::seed, "RadioGroup4"),
    shown(&V::mode, "RadioGroup5"),
    shown(&V::fracRstb, "RadioGroup6"),
    shown(&V::fracBypass, "RadioGroup7"),
    shown(&V::reopenTable, "ReopenTableCheckBox"),
    shown(&V::spurWarnHz, "SpurWarnHzBox"),
};

std::string_view controlOf(const settings::SettingKey& k) {
    for (const ShownIn& s : kShownIn)
        if ((k.text && s.text == k.text) || (k.number && s.number == k.number)) return s.control;
    return {};
}

}  // namespace

std::vector<KeyControl> keyControls(std::span<const settings::SettingKey> keys) {
    std::vector<KeyControl> found;
    for (const settings::SettingKey& k : keys)
        if (k.kind != settings::KeyKind::Version) found.push_back({&k, controlOf(k)});
    return found;
}

std::optional<SettingControls::Control> SettingControls::lookUp(const QObject& form, const KeyControl& c) {
    const auto found = [](auto* w) { return w ? std::optional<Control>(w) : std::nullopt; };
    if (c.control.empty()) return std::nullopt;  // an empty name would match any control of the kind
    const settings::SettingKey& k = *c.key;
    const QString name = QString::fromLatin1(c.control);
    switch (k.kind) {
        case settings::KeyKind::Text: return found(form.findChild<QLineEdit*>(name));
        case settings::KeyKind::ComboIndex: return found(form.findChild<QComboBox*>(name));
        case settings::KeyKind::RadioIndex: return found(form.findChild<TRadioGroup*>(name));
        case settings::KeyKind::Position: return found(form.findChild<QScrollBar*>(name));
        case settings::KeyKind::Check: return found(form.findChild<QCheckBox*>(name));
        case settings::KeyKind::Whole: return found(form.findChild<QSpinBox*>(name));
        case settings::KeyKind::Version: break;
    }
    return std::nullopt;
}

SettingControls::SettingControls(const QObject& form, std::span<const KeyControl> keys) {
    for (const KeyControl& c : keys) {
        const settings::SettingKey& k = *c.key;
        if (const auto control = lookUp(form, c)) {
            bound_.push_back({&k, *control});
            continue;
        }
        problems_ << QStringLiteral(
                         "settings key %1: the window has no %2 named \"%3\"; the key is neither loaded "
                         "nor saved")
                         .arg(keyName(k), QString::fromLatin1(controlKind(k.kind)), QString::fromLatin1(c.control));
    }
}

void SettingControls::load(const settings::SettingsValues& v) const {
    for (const Bound& b : bound_) {
        const settings::SettingKey& k = *b.key;
        std::visit(Overloaded{[&](QLineEdit* e) { e->setText(QString::fromStdString(v.*k.text)); },
                              [&](QComboBox* c) { c->setCurrentIndex(v.*k.number); },
                              [&](TRadioGroup* r) { r->setItemIndex(v.*k.number); },
                              [&](QScrollBar* s) { s->setValue(v.*k.number); },
                              [&](QCheckBox* c) { c->setChecked(v.*k.number != 0); },
                              [&](QSpinBox* s) { s->setValue(v.*k.number); }},
                   b.control);
    }
}

void SettingControls::save(settings::SettingsValues& v) const {
    for (const Bound& b : bound_) {
        const settings::SettingKey& k = *b.key;
        std::visit(Overloaded{[&](QLineEdit* e) { v.*k.text = e->text().toStdString(); },
                              [&](QComboBox* c) { v.*k.number = c->currentIndex(); },
                              [&](TRadioGroup* r) { v.*k.number = r->ItemIndex(); },
                              [&](QScrollBar* s) { v.*k.number = s->value(); },
                              [&](QCheckBox* c) { v.*k.number = c->isChecked() ? 1 : 0; },
                              [&](QSpinBox* s) { v.*k.number = s->value(); }},
                   b.control);
    }
}
