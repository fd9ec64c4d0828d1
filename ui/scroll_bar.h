#pragma once
// A horizontal scroll bar that steps as the window's designer had it: one step per arrow key,
// per wheel notch and per click into the trough, left and up towards the minimum. It takes the
// focus with Tab, so the bar can be set without a mouse.
#include <QScrollBar>

class TScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit TScrollBar(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void step(int steps);
    int wheelRemainder_ = 0;  // eighths of a degree turned that have not made a whole notch yet
};
