#include "ui/value_label.h"

#include <QLabel>

void setValueText(QLabel& value, const QString& text) {
    value.setText(text);
    if (!value.parentWidget()) return;
    for (const QLabel* caption : value.parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (caption->buddy() != &value) continue;
        const QString shown = text.trimmed();
        value.setAccessibleName(shown.isEmpty() ? caption->text() : caption->text() + QLatin1Char(' ') + shown);
        return;
    }
}
