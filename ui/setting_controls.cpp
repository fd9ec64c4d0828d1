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

}  // namespace

std::optional<SettingControls::Control> SettingControls::lookUp(const QObject& form, const settings::SettingKey& k) {
    const auto found = [](auto* w) { return w ? std::optional<Control>(w) : std::nullopt; };
    const QString name = QString::fromLatin1(k.control);
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

SettingControls::SettingControls(const QObject& form, std::span<const settings::SettingKey> keys) {
    for (const settings::SettingKey& k : keys) {
        if (k.kind == settings::KeyKind::Version) continue;  // written by the file itself, no control
        if (const auto control = lookUp(form, k)) {
            bound_.push_back({&k, *control});
            continue;
        }
        problems_ << QStringLiteral(
                         "settings key %1: the window has no %2 named \"%3\"; the key is neither loaded "
                         "nor saved")
                         .arg(keyName(k), QString::fromLatin1(controlKind(k.kind)), QString::fromLatin1(k.control));
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
