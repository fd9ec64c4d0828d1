#include "ui/scroll_bar.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kNotch = 120;  // a wheel notch in eighths of a degree

}  // namespace

TScrollBar::TScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSingleStep(1);
    setPageStep(0);  // the smallest thumb
    // With no page step a click into the trough (or Page Up/Down) would do nothing; it moves one
    // step instead. Adjusted before any handler reads the position.
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == SliderPageStepAdd) setSliderPosition(sliderPosition() + 1);
        if (action == SliderPageStepSub) setSliderPosition(sliderPosition() - 1);
    });
}

// A scroll bar inverts Qt's slider keys so that Up goes to the top; on a horizontal bar that
// turns Left into a step to the right. Here Left and Up go to the minimum, as the bar is drawn.
void TScrollBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: step(-1); break;
        case Qt::Key_Right:
        case Qt::Key_Down: step(1); break;
        default: QScrollBar::keyPressEvent(event);
    }
}

// Turning the wheel down (or pushing it right) moves the thumb right, one step per notch;
// smooth wheels add up until they make a notch.
void TScrollBar::wheelEvent(QWheelEvent* event) {
    const QPoint turned = event->angleDelta();
    int delta = -(turned.y() != 0 ? turned.y() : turned.x());
    if (event->inverted()) delta = -delta;
    if ((wheelRemainder_ < 0 && delta > 0) || (wheelRemainder_ > 0 && delta < 0)) wheelRemainder_ = 0;
    wheelRemainder_ += delta;
    const int steps = wheelRemainder_ / kNotch;
    wheelRemainder_ %= kNotch;
    step(steps);
    event->accept();
}

// The application's style draws no focus on a scroll bar; one taken with Tab must show.
void TScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

void TScrollBar::step(int steps) {
    // More steps than the range has move nowhere further.
    const int bounded = std::min(std::abs(steps), maximum() - minimum());
    for (int i = 0; i < bounded; ++i) triggerAction(steps > 0 ? SliderSingleStepAdd : SliderSingleStepSub);
}
