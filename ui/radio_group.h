#pragma once
// A captioned group of radio buttons with one selected item or none, laid out in columns
// the way the window's designer placed them (column by column, rows spread evenly).
#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    // Index of the selected item, -1 when none is selected.
    int ItemIndex() const;
    // Selects item index; -1 (or any index outside the items) selects none. Emits nothing.
    void setItemIndex(int index);

    int count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

    // Places the buttons for the current size. Runs on every resize; call it after setGeometry
    // on a widget not shown yet, whose resize event waits until it is shown.
    void arrange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Tab and Shift+Tab stop at the checked item (the first when none is), so that Space there
    // changes nothing; the arrow keys move between the items.
    void keepTabStopOnChecked();

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;  // owned by this widget through Qt parenting
    int columns_;
};
