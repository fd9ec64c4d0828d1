#include "ui/enter_key.h"

#include <QKeyEvent>
#include <QPushButton>

bool pressFocusedButtonOnEnter(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->isAutoRepeat() || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* button = qobject_cast<QPushButton*>(receiver);
    // A default kind of button clicks itself; one without the focus is not the operator's aim.
    if (button == nullptr || button->autoDefault() || button->isDefault() || !button->hasFocus() ||
        !button->isEnabled())
        return false;
    button->click();
    return true;
}
