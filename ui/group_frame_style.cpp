#include "ui/group_frame_style.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

namespace {

constexpr int kTitleLeft = 8;  // where the title starts, from the box's left edge
constexpr int kTitleGap = 2;   // the line stops this far before and after the title

class GroupFrameStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_GroupBox_TextLabelVerticalAlignment) return Qt::AlignVCenter;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box || (box->subControls & SC_GroupBoxCheckBox))
            return QProxyStyle::subControlRect(control, option, sub, widget);
        const int titleHeight = box->fontMetrics.height();
        QRect frame = box->rect;
        frame.setTop(box->text.isEmpty() ? 0 : titleHeight / 2);
        switch (sub) {
            case SC_GroupBoxFrame: return frame;
            case SC_GroupBoxContents: return box->rect.adjusted(2, titleHeight, -2, -2);
            case SC_GroupBoxLabel: {
                const int width = box->fontMetrics.horizontalAdvance(box->text) + 2 * kTitleGap;
                const QRect label(kTitleLeft - kTitleGap, 0, std::min(width, box->rect.width() - kTitleLeft),
                                  titleHeight);
                return visualRect(box->direction, box->rect, label.translated(box->rect.topLeft()));
            }
            default: return QProxyStyle::subControlRect(control, option, sub, widget);
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box || (box->subControls & SC_GroupBoxCheckBox)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect label = subControlRect(control, box, SC_GroupBoxLabel, widget);
        const QRect frame = subControlRect(control, box, SC_GroupBoxFrame, widget);
        painter->save();
        QRegion around(box->rect);
        if (!box->text.isEmpty()) around -= label;
        painter->setClipRegion(around);
        // The etched line of a classic group frame: a shadow line with a light one beside it.
        if (box->features & QStyleOptionFrame::Flat)
            qDrawShadeLine(painter, frame.left(), frame.top(), frame.right(), frame.top(), box->palette, true, 1, 0);
        else
            qDrawShadeRect(painter, frame, box->palette, true, 1, 0);
        painter->restore();
        if (box->text.isEmpty()) return;
        int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!proxy()->styleHint(SH_UnderlineShortcut, box, widget)) flags |= Qt::TextHideMnemonic;
        proxy()->drawItemText(painter, label, flags, box->palette, box->state & State_Enabled, box->text,
                              QPalette::WindowText);
    }
};

QStyle* groupFrameStyle() {
    // Lives as long as the application; a group box whose style is gone falls back to the
    // application's own.
    static QPointer<QStyle> style;
    if (!style) {
        style = new GroupFrameStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

void drawFrameThroughTitle(QGroupBox& box) { box.setStyle(groupFrameStyle()); }
