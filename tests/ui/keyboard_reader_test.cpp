// Without a mouse: Tab and Shift+Tab go round every page and through Close(C) without being
// caught by a memo or the Channels table; a screen reader finds a name for every control the
// captions leave unnamed.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include "testkit/fake_serial_tree.h"
#include "tests/ui/ui_test_support.h"
#include "ui/channels_page.h"
#include "ui/ports_dialog.h"
#include "ui/radio_group.h"

namespace {

QString accessible(QObject* o, QAccessible::Text t = QAccessible::Name) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(t) : QString();
}

// The control Tab reaches first on page: the first of the focus chain inside it.
QWidget* firstControl(QWidget* page) {
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) return w;
    return nullptr;
}

struct Round {
    QList<QWidget*> visited;  // in order, the start last when the keys came back to it
    bool backAtStart = false;
};

// Presses the key in the window until the focus is back on start, at most `most` times.
Round goRound(TForm1& w, QWidget* start, Qt::Key key, Qt::KeyboardModifiers modifiers, int most = 200) {
    start->setFocus(Qt::TabFocusReason);
    Round round;
    for (int i = 0; i < most && !round.backAtStart; ++i) {
        QTest::keyClick(w.windowHandle(), key, modifiers);
        round.visited << QApplication::focusWidget();
        round.backAtStart = QApplication::focusWidget() == start;
    }
    return round;
}

QString names(const QList<QWidget*>& widgets) {
    QStringList out;
    for (QWidget* w : widgets) out << (w ? w->objectName() + "/" + w->metaObject()->className() : "none");
    return out.join(' ');
}

}  // namespace

class KeyboardReaderTest : public QObject {
    Q_OBJECT
private slots:
    // From the first control of each page, Tab and Shift+Tab come back around through Close(C)
    // and the status log, and neither memo takes a tab character on the way.
    void tabGoesRoundEveryPageThroughClose() {
        WindowUnderTest w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(&*w));
        for (int page = 0; page < w->PageControl1->count(); ++page) {
            w->PageControl1->setCurrentIndex(page);
            QWidget* start = firstControl(w->PageControl1->currentWidget());
            QVERIFY2(start, qPrintable(w->PageControl1->tabText(page)));
            for (const bool back : {false, true}) {
                const Round r = back ? goRound(*w, start, Qt::Key_Backtab, Qt::ShiftModifier)
                                     : goRound(*w, start, Qt::Key_Tab, Qt::NoModifier);
                const QString what = w->PageControl1->tabText(page) + (back ? " Shift+Tab: " : " Tab: ") +
                                     names(r.visited.mid(0, 12)) + " ...";
                QVERIFY2(r.backAtStart, qPrintable(what));
                QVERIFY2(r.visited.contains(w->BitBtn1), qPrintable(what));
                QVERIFY2(r.visited.contains(w->Memo2), qPrintable(what));
                QCOMPARE(w->PageControl1->currentIndex(), page);
            }
        }
        QVERIFY(!w->Memo2->toPlainText().contains('\t'));
        QVERIFY(!w->Memo3->toPlainText().contains('\t'));
        // Tab reaches the table, and the table lets it go on.
        w->PageControl1->setCurrentIndex(4);
        const Round r = goRound(*w, firstControl(w->channelsPage), Qt::Key_Tab, Qt::NoModifier);
        QVERIFY(r.visited.contains(w->channelsPage->table));
    }

    // Tab (or Shift+Tab) into a radio group lands on its checked item, the first when none is,
    // so that Space there changes nothing.
    void tabIntoARadioGroupLandsOnTheCheckedItem_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("checked");
        QTest::addColumn<bool>("back");
        QTest::newRow("seed select, Tab") << "RadioGroup4" << 3 << false;
        QTest::newRow("seed select, Shift+Tab") << "RadioGroup4" << 1 << true;
        QTest::newRow("memory channel, Tab") << "RadioGroup2" << 5 << false;
        QTest::newRow("memory channel, Shift+Tab") << "RadioGroup2" << 6 << true;
        QTest::newRow("none checked") << "RadioGroup5" << -1 << false;
    }
    void tabIntoARadioGroupLandsOnTheCheckedItem() {
        QFETCH(QString, group);
        QFETCH(int, checked);
        QFETCH(bool, back);
        WindowUnderTest w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(&*w));
        w->PageControl1->setCurrentIndex(1);
        auto* g = w->findChild<TRadioGroup*>(group);
        g->setItemIndex(checked);
        // The control the key leaves for the group: the nearest tab stop outside it on that side.
        QWidget* from = g->button(0);
        do from = back ? from->nextInFocusChain() : from->previousInFocusChain();
        while (g->isAncestorOf(from) || !(from->focusPolicy() & Qt::TabFocus) || !from->isVisible());
        from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->windowHandle(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(QApplication::focusWidget(), g->button(std::max(0, checked)));
        QTest::keyClick(w->windowHandle(), Qt::Key_Space);
        QCOMPARE(g->ItemIndex(), std::max(0, checked));
    }

    // Enter, on the main keys or the keypad, presses the push button that has the focus.
    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
    void enterPressesTheFocusedButton() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        WindowUnderTest w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(&*w));
        w->PageControl1->setCurrentIndex(1);
        w->Button4->setFocus(Qt::TabFocusReason);  // "search"
        QTest::keyClick(w->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w->Label11->text(), QString("5000000"));
    }

    // In the Channels table the arrow keys move from cell to cell.
    void arrowsMoveBetweenTheTableCells() {
        WindowUnderTest w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(&*w));
        w->PageControl1->setCurrentIndex(4);
        QTableWidget* table = w->channelsPage->table;
        table->setFocus(Qt::TabFocusReason);
        table->setCurrentCell(0, 0);
        QTest::keyClick(w->windowHandle(), Qt::Key_Right);
        QTest::keyClick(w->windowHandle(), Qt::Key_Down);
        QTest::keyClick(w->windowHandle(), Qt::Key_Down);
        QCOMPARE(table->currentRow(), 2);
        QCOMPARE(table->currentColumn(), 1);
        QCOMPARE(QApplication::focusWidget(), table);
    }

    // Names for the controls without a caption, the value labels read with their captions, and
    // the two "Reserved" options told apart; the captions on screen stay as they were.
    void everyControlHasANameAScreenReaderCanUse() {
        WindowUnderTest w;
        QCOMPARE(accessible(w->Memo2), QString("Status log"));
        QCOMPARE(accessible(w->Memo3), QString("Buffer view"));
        QCOMPARE(accessible(w->ComboBox1->lineEdit()), QString("Port"));
        QCOMPARE(accessible(w->ComboBox2->lineEdit()), QString("Baud rate"));
        QCOMPARE(accessible(w->ScrollBar1), QString("Charge pump up current"));
        QCOMPARE(accessible(w->ScrollBar2), QString("Charge pump down current"));
        QCOMPARE(accessible(w->ScrollBar3), QString("Charge pump offset current"));

        QRadioButton* reserved1 = w->RadioGroup5->button(0);
        QRadioButton* reserved2 = w->RadioGroup5->button(1);
        QCOMPARE(reserved1->text(), QString("Reserved"));
        QCOMPARE(accessible(reserved2), QString("Reserved"));
        QVERIFY(accessible(reserved1, QAccessible::Description).contains("reserved1"));
        QVERIFY(accessible(reserved2, QAccessible::Description).contains("reserved2"));

        QCOMPARE(accessible(w->Label11), QString("PD(Hz)"));  // blank before a search
        QTest::mouseClick(w->Button4, Qt::LeftButton);
        const QList<std::tuple<QLabel*, QString, QString>> values{
            {w->Label4, "VCO(Hz)", "123400000"},   {w->Label9, "N", "123.4"},      {w->Label18, "Integer", "12"},
            {w->Label20, "Fractional", "5704253"}, {w->Label10, "R Counter", "2"}, {w->Label11, "PD(Hz)", "5000000"}};
        for (const auto& [label, caption, value] : values) {
            QCOMPARE(accessible(label), caption + " " + value);
            // Tied to its caption: the relation a screen reader follows from a value to its label.
            QStringList labelledBy;
            for (const auto& [by, relation] :
                 QAccessible::queryAccessibleInterface(label)->relations(QAccessible::Label))
                labelledBy << by->text(QAccessible::Name);
            QVERIFY2(labelledBy.contains(caption), qPrintable(labelledBy.join(", ")));
        }
        QCOMPARE(w->Label11->text(), QString("5000000"));
        QCOMPARE(w->Label8->text(), QString("PD(Hz)"));

        const vttest::TempDir nowhere;  // a machine without serial devices
        PortsDialog dialog({.sys = nowhere.file("sys"),
                            .dev = nowhere.file("dev"),
                            .byId = nowhere.file("by-id"),
                            .configHome = nowhere.file("config")},
                           "com1", &*w);
        QCOMPARE(accessible(dialog.devices), QString("Serial devices present"));
    }

    // The port and baud boxes are read by their names, not by the value they show; the value,
    // the list and edit inside and the action that opens the list stay a combo box's.
    void theComboBoxesAreReadByTheirNames() {
        WindowUnderTest w;
        w->show();
        w->PageControl1->setCurrentWidget(w->TabSheet3);
        QVERIFY(QTest::qWaitForWindowExposed(&*w));
        for (const auto& [box, name, other] : {std::tuple{w->ComboBox1, "Port", 2}, {w->ComboBox2, "Baud rate", 1}}) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
            QCOMPARE(a->role(), QAccessible::ComboBox);
            box->setCurrentIndex(other);
            QCOMPARE(a->text(QAccessible::Name), QString(name));
            QCOMPARE(a->text(QAccessible::Value), box->itemText(other));
            QCOMPARE(box->currentText(), box->itemText(other));  // what the page shows is unchanged
            const QList<QObject*> inside{box->view(), box->lineEdit()};
            QCOMPARE(a->childCount(), 2);
            for (int i = 0; i < 2; ++i) {
                QVERIFY(a->child(i));
                QCOMPARE(a->child(i)->object(), inside[i]);
                QCOMPARE(a->indexOfChild(a->child(i)), i);
            }

            QAccessibleActionInterface* act = a->actionInterface();
            QVERIFY(act && act->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
            act->doAction(QAccessibleActionInterface::showMenuAction());
            QTRY_VERIFY(box->view()->isVisible());
            QVERIFY(a->state().expanded);
            act->doAction(QAccessibleActionInterface::pressAction());
            QTRY_VERIFY(!box->view()->isVisible());
        }
        QComboBox unnamed;  // a box with neither name nor caption is read by its text, as before
        unnamed.addItem("9600");
        QCOMPARE(accessible(&unnamed), QString("9600"));
    }

    // The Ports dialog's device table lets Tab and Shift+Tab go on; a cell with nothing in it
    // (an on-board port has no stable name) still has a name to read.
    void thePortsDialogsTableLetsTabGo() {
        vttest::FakeSerialTree machine;
        machine.addUsbAdapter(vttest::ftdiAdapter());
        machine.addUart("ttyS0", 4);
        WindowUnderTest w;
        PortsDialog dialog(
            {.sys = machine.sys(), .dev = machine.dev(), .byId = machine.byId(), .configHome = machine.file("config")},
            "com1", &*w);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.devices->rowCount(), 2);
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_Backtab, Qt::ShiftModifier}}) {
            dialog.devices->setFocus(Qt::TabFocusReason);
            dialog.devices->setCurrentCell(0, 0);
            QTest::keyClick(dialog.windowHandle(), key, modifiers);
            QVERIFY(QApplication::focusWidget() != dialog.devices);
            QCOMPARE(dialog.devices->currentColumn(), 0);
        }
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(dialog.devices);
        QStringList stable;
        for (int r = 0; r < 2; ++r) stable << table->tableInterface()->cellAt(r, 2)->text(QAccessible::Name);
        QVERIFY2(stable.contains("none"), qPrintable(stable.join(", ")));
    }
};

VT_UI_TEST_MAIN(KeyboardReaderTest)
#include "keyboard_reader_test.moc"
