#include "ui/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <algorithm>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columnCount, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), columns_(std::max(1, columnCount)) {
    group_->setExclusive(true);
    // Its own caption, not the caption of a group it sits in, names it for assistive technology.
    setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        buttons_.push_back(b);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) keepTabStopOnChecked();
    });
    keepTabStopOnChecked();
    arrange();
}

void TRadioGroup::keepTabStopOnChecked() {
    const int stop = std::max(0, ItemIndex());
    for (int i = 0; i < count(); ++i) {
        QRadioButton* b = button(i);
        const Qt::FocusPolicy tab = i == stop ? Qt::TabFocus : Qt::NoFocus;
        b->setFocusPolicy(static_cast<Qt::FocusPolicy>((b->focusPolicy() & ~Qt::TabFocus) | tab));
    }
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::setItemIndex(int index) {
    if (index >= 0 && index < count()) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    group_->setExclusive(false);
    for (auto* b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
    keepTabStopOnChecked();
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    arrange();
}

void TRadioGroup::arrange() {
    if (buttons_.empty()) return;
    const int n = count();
    const int rows = (n + columns_ - 1) / columns_;
    const int top = fontMetrics().height() + 1;
    const int left = 4;
    const int bottom = 4;
    const int areaH = std::max(rows, height() - top - bottom);
    const int rowH = areaH / rows;
    const int colW = std::max(1, (width() - left - 2) / columns_);
    const int itemH = std::min(rowH, fontMetrics().height() + 5);
    for (int i = 0; i < n; ++i) {
        const int col = i / rows;
        const int row = i % rows;
        const int y = top + row * rowH + (rowH - itemH) / 2;
        buttons_[static_cast<size_t>(i)]->setGeometry(left + col * colW, y, colW, itemH);
    }
}
