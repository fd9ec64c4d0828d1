// The window as built: caption, fixed size, pages, every named control where the layout puts
// it, hidden controls, defaults, fonts, and controls that must stay inert for now.
#include <QAccessible>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionGroupBox>
#include <QTabWidget>

#include "tests/ui/ui_test_support.h"
#include "ui/click_label.h"
#include "ui/radio_group.h"

namespace {

bool monospaced(const QFont& f) {
    const QFontMetrics m(f);
    return m.horizontalAdvance("11111111") == m.horizontalAdvance("WWWWWWWW") &&
           m.horizontalAdvance("0") == m.horizontalAdvance("F");
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void windowFrame() {
        WindowUnderTest w;
        QCOMPARE(w->windowTitle(), QString("Vantorix-10G_K512 Configurator  V1.0"));
        QCOMPARE(w->size(), QSize(632, 460));
        QCOMPARE(w->minimumSize(), QSize(632, 460));
        QCOMPARE(w->maximumSize(), QSize(632, 460));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w->windowFlags() & Qt::WindowSystemMenuHint);
        QCOMPARE(w->objectName(), QString("Form1"));
    }

    // Wayland shows the window with the menu entry whose name the application gives; other window
    // systems take the icon from the window.
    void menuEntryAndIcon() {
        const QString entry = QStringLiteral(VT_PACKAGING_DIR "/") + QGuiApplication::desktopFileName() + ".desktop";
        QVERIFY2(QFileInfo(entry).isFile(), qPrintable(entry));
        WindowUnderTest w;
        const QImage icon = w->windowIcon().pixmap(64).toImage();
        QVERIFY(!icon.isNull());
        const QColor panel = icon.pixelColor(32, 10);  // the dark blue square behind the drawing
        QCOMPARE(panel.alpha(), 255);
        QVERIFY2(panel.blue() > 2 * panel.red() && panel.blue() < 160, qPrintable(panel.name()));
    }

    void pagesInOrderManualWriteFirst() {
        WindowUnderTest w;
        QTabWidget* pc = w->PageControl1;
        QCOMPARE(pc->count(), 6);  // the four of the original, then ours
        QStringList titles;
        for (int i = 0; i < pc->count(); ++i) titles << pc->tabText(i);
        QCOMPARE(titles,
                 (QStringList{"LowLevelCommand", "Manual Write", "RemoteControl", "ComPort", "Channels", "Band"}));
        QCOMPARE(pc->currentWidget(), w->TabSheet2);
        QCOMPARE(pc->widget(2), w->TabSheet4);
        QCOMPARE(pc->widget(3), w->TabSheet3);
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        const QList<std::pair<const char*, QRect>> rows = {
            {"PageControl1", {0, 0, 632, 377}},   {"Memo2", {120, 384, 257, 73}},   {"BitBtn1", {528, 424, 75, 25}},
            {"Memo3", {144, 24, 401, 265}},       {"Edit8", {16, 304, 121, 20}},    {"GroupBox1", {0, 8, 233, 185}},
            {"Edit11", {104, 88, 121, 20}},       {"Button4", {64, 96, 49, 25}},    {"GroupBox3", {184, 200, 225, 129}},
            {"Edit10", {88, 104, 121, 20}},       {"ScrollBar3", {8, 88, 121, 16}}, {"GroupBox5", {448, 8, 169, 185}},
            {"RadioGroup2", {416, 200, 97, 129}}, {"Button15", {520, 304, 75, 25}}, {"Button22", {40, 296, 75, 25}},
            {"ComboBox2", {176, 48, 145, 20}},    {"Memo1", {224, 128, 185, 89}},
        };
        for (const auto& [name, rect] : rows) QTest::newRow(name) << QString(name) << rect;
    }

    void geometry() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        WindowUnderTest w;
        auto* c = w->findChild<QWidget*>(name);
        QVERIFY2(c, qPrintable(name));
        QCOMPARE(c->geometry(), rect);
    }

    // Captions must not run under the controls beside them.
    void captionsClearOfTheirEdits() {
        WindowUnderTest w;
        for (QLabel* l : {w->Label1, w->Label2, w->Label3, w->Label34})
            QVERIFY2(l->x() + l->fontMetrics().horizontalAdvance(l->text()) <= 104, qPrintable(l->text()));
        for (QLabel* l : {w->Label12, w->Label13, w->Label14, w->Label21, w->Label22})
            QVERIFY2(l->x() + l->fontMetrics().horizontalAdvance(l->text()) <= 88, qPrintable(l->text()));
        for (TRadioGroup* g : {w->RadioGroup4, w->RadioGroup5, w->RadioGroup6, w->RadioGroup7, w->RadioGroup2})
            for (int i = 0; i < g->count(); ++i) {
                QRadioButton* b = g->button(i);
                QVERIFY2(!b->text().isEmpty(), qPrintable(g->objectName()));  // no item the choices left blank
                QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
                QVERIFY2(b->geometry().right() < g->width(), qPrintable(b->text()));
            }
    }

    // A group's frame line runs through the middle of its title: above the first row of the
    // group's controls, so that it crosses none of them, the title interrupting it.
    void groupFramesRunAboveTheirControls() {
        WindowUnderTest w;
        const QList<QGroupBox*> groups = w->findChildren<QGroupBox*>();
        QCOMPARE(groups.size(), 12);  // five group boxes, seven radio groups
        for (QGroupBox* g : groups) {
            QStyleOptionGroupBox option;
            option.initFrom(g);
            option.text = g->title();
            option.lineWidth = 1;
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect frame = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, g);
            const QRect title = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
            QVERIFY2(title.top() <= frame.top() && frame.top() <= title.bottom(), qPrintable(g->title()));
            for (QWidget* c : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (c->isHidden()) continue;
                const QString what = g->title() + " / " + c->objectName();
                // The etched line is two pixels deep.
                QVERIFY2(frame.top() + 2 <= c->y(), qPrintable(what));
                QVERIFY2(frame.adjusted(2, 2, -2, -2).contains(c->geometry()), qPrintable(what));
            }
        }
    }

    void everyNamedControlExists() {
        WindowUnderTest w;
        QStringList names;
        for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22})
            names << QString("Button%1").arg(i);
        for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) names << QString("Edit%1").arg(i);
        for (int i : {4, 9, 10, 11, 15, 16, 18, 20, 26, 28, 29, 32, 33}) names << QString("Label%1").arg(i);
        for (int i : {1, 2, 3, 4, 5, 6, 7}) names << QString("RadioGroup%1").arg(i);
        for (int i : {1, 2, 3, 4, 5}) names << QString("GroupBox%1").arg(i);
        names +=
            QStringList{"ScrollBar1", "ScrollBar2", "ScrollBar3", "Memo1",     "Memo2",     "Memo3",    "ComboBox1",
                        "ComboBox2",  "BitBtn1",    "TabSheet1",  "TabSheet2", "TabSheet3", "TabSheet4"};
        for (const QString& n : names) QVERIFY2(w->findChild<QWidget*>(n), qPrintable(n));
    }

    void hiddenControls() {
        WindowUnderTest w;
        for (QWidget* c : std::initializer_list<QWidget*>{w->Edit8, w->Button12, w->Edit7, w->Memo1, w->Label29,
                                                          w->Label32, w->Label30, w->Label31})
            QVERIFY2(c->isHidden(), qPrintable(c->objectName()));
        for (QWidget* c : std::initializer_list<QWidget*>{w->Label4, w->Button13, w->Edit11, w->Button6})
            QVERIFY2(!c->isHidden(), qPrintable(c->objectName()));
        QCOMPARE(w->Label30->text(), QString("FFRAC"));
        QCOMPARE(w->Label31->text(), QString("N_INT"));
    }

    void itemsAndGlyph() {
        WindowUnderTest w;
        QVERIFY(!w->BitBtn1->icon().isNull());
        QCOMPARE(w->ComboBox1->count(), 12);
        QCOMPARE(w->ComboBox1->itemText(11), QString("com12"));
        QCOMPARE(w->ComboBox2->itemText(1), QString("115200"));
        QVERIFY(w->ComboBox1->isEditable() && w->ComboBox2->isEditable());
    }

    void defaults() {
        WindowUnderTest w;
        QCOMPARE(w->RadioGroup1->ItemIndex(), 0);  // "On"
        QCOMPARE(w->RadioGroup3->ItemIndex(), 0);  // "Up"
        QCOMPARE(w->RadioGroup4->ItemIndex(), 2);  // "B29D08h"
        QCOMPARE(w->RadioGroup5->ItemIndex(), 3);  // "ModeA"
        QCOMPARE(w->RadioGroup6->ItemIndex(), 1);  // "Enable"
        QCOMPARE(w->RadioGroup7->ItemIndex(), 0);  // "use"
        QCOMPARE(w->RadioGroup2->ItemIndex(), 0);  // "ch0"
        for (QScrollBar* s : {w->ScrollBar1, w->ScrollBar2, w->ScrollBar3}) {
            QCOMPARE(s->minimum(), 0);
            QCOMPARE(s->maximum(), 127);
            QCOMPARE(s->pageStep(), 0);
        }
        QCOMPARE(w->Memo3->toPlainText(), QString());
        QCOMPARE(w->Edit1->text(), QString("12340"));
        QCOMPARE(w->Edit11->text(), QString("2"));
    }

    void fonts() {
        WindowUnderTest w;
        for (QWidget* c : std::initializer_list<QWidget*>{w->Edit4, w->Edit5, w->Edit6, w->Edit9, w->Edit10, w->Memo3})
            QVERIFY2(monospaced(c->font()), qPrintable(c->objectName()));
        QVERIFY(!monospaced(w->Label16->font()));
        // Japanese must render in the window and in the boxes it shows.
        const QFontMetrics m(w->font());
        for (QChar c : QString("ゼロによる除算ファイルへのアクセスが拒否されました"))
            QVERIFY2(m.inFont(c), qPrintable(QString(c)));
        QCOMPARE(w->font().pixelSize(), 12);
        QCOMPARE(w->Edit4->font().pixelSize(), 12);
    }

    void radioGroupAllowsNone() {
        WindowUnderTest w;
        TRadioGroup* g = w->RadioGroup4;
        g->setItemIndex(-1);
        QCOMPARE(g->ItemIndex(), -1);
        for (int i = 0; i < g->count(); ++i) QVERIFY(!g->button(i)->isChecked());
        QTest::mouseClick(g->button(1), Qt::LeftButton);
        QCOMPARE(g->ItemIndex(), 1);
        g->setItemIndex(7);
        QCOMPARE(g->ItemIndex(), -1);
        g->setItemIndex(3);
        QCOMPARE(g->ItemIndex(), 3);
    }

    void upCurrentLabelIsClickable() {
        WindowUnderTest w;
        QSignalSpy spy(w->Label26, &TClickLabel::clicked);
        QTest::mouseClick(w->Label26, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    // The erase buttons have no handler: they change nothing and send nothing.
    void eraseButtonsChangeNothing() {
        WindowUnderTest w;
        QTest::mouseClick(w->Button4, Qt::LeftButton);
        const QString log = w->Memo2->toPlainText();
        const QString edit4 = w->Edit4->text();
        w->PageControl1->setCurrentWidget(w->TabSheet1);
        for (QPushButton* b : {w->Button7, w->Button8, w->Button9}) QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(w->Memo2->toPlainText(), log);
        QCOMPARE(w->Memo3->toPlainText(), QString());
        QCOMPARE(w->Edit4->text(), edit4);
        QVERIFY(recorder().shown.empty());
    }

    // A screen reader reads a button by its caption and an edit by the caption beside it.
    void accessibleNamesAreTheCaptions() {
        WindowUnderTest w;
        auto name = [](QWidget* widget) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
            return a ? a->text(QAccessible::Name) : QString();
        };
        QCOMPARE(name(w->Button4), QString("search"));
        QCOMPARE(name(w->Button15), QString("header file"));
        QCOMPARE(name(w->Edit1), QString("LocalOutput(MHz)"));
        QCOMPARE(name(w->Edit11), QString("R"));
        QCOMPARE(name(w->Edit9), QString("04h Fractional"));
        QCOMPARE(name(w->RadioGroup1), QString("CP add 3.5mA"));
        QCOMPARE(name(w->RadioGroup6), QString("frac_rstb"));
        QCOMPARE(name(w->ScrollBar3), QString("Charge pump offset current"));
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&*w);
        QVERIFY(window);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QString("Vantorix-10G_K512 Configurator  V1.0"));
    }

    void closeButtonClosesTheWindow() {
        WindowUnderTest w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*w));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(!w->isVisible());
    }
};

VT_UI_TEST_MAIN(LayoutTest)
#include "layout_test.moc"
