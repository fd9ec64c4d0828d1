// The "Manual Write" page driven through its controls: search, reset, the blanking keys, the
// current labels of the scroll bars and what a failed search leaves on display.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QWheelEvent>

#include "tests/ui/ui_test_support.h"
#include "ui/click_label.h"
#include "ui/radio_group.h"

namespace {

// Every display that a search writes or a reset blanks, by control name.
QStringList displays(TForm1& f) {
    return {f.Label4->text(),  f.Label11->text(), f.Label9->text(),  f.Label10->text(), f.Label18->text(),
            f.Label20->text(), f.Label29->text(), f.Label32->text(), f.Edit4->text(),   f.Edit6->text(),
            f.Edit9->text(),   f.Edit5->text(),   f.Edit10->text()};
}

const QStringList kWorkedExample = {"123400000", "5000000",        "123.4",   "2",        "12",
                                    "5704253",   "28521267200000", "12",      "04000004", "06000018",
                                    "08AE147A",  "13407FFE",       "0C0016FC"};

void search(TForm1& f) { QTest::mouseClick(f.Button4, Qt::LeftButton); }

void setInputs(TForm1& f, const QString& out, const QString& mult, const QString& std, const QString& r) {
    // setText runs no key handler, so the displays stay as they are.
    f.Edit1->setText(out);
    f.Edit2->setText(mult);
    f.Edit3->setText(std);
    f.Edit11->setText(r);
}

}  // namespace

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void startShowsBlanksAndCurrents() {
        WindowUnderTest w;
        QCOMPARE(w->Button4->text(), QString("search"));
        for (QLabel* l : {w->Label4, w->Label11, w->Label9, w->Label10, w->Label18, w->Label20})
            QCOMPARE(l->text(), QString("  "));
        QCOMPARE(w->Label26->text(), QString("2540uA"));
        QCOMPARE(w->Label28->text(), QString("2540uA"));
        QCOMPARE(w->Label33->text(), QString("0uA"));
        // The start-up connect fails (com1 leads nowhere), and the log says why after the welcome.
        QCOMPARE(w->Memo2->toPlainText(),
                 QString("Welcome to Vantorix Configurator.\n"
                         "Cannot open com1 (/nonexistent/vtconfig-test-port): no such device"));
        QCOMPARE(w->Words.RefReg | w->Words.IntgReg | w->Words.FracReg | w->Words.CPReg | w->Words.SDReg, 0u);
    }

    void defaultSearchShowsWorkedExample() {
        WindowUnderTest w;
        search(*w);
        QCOMPARE(displays(*w), kWorkedExample);
        QCOMPARE(w->Memo2->toPlainText(), QString());
        QCOMPARE(w->Words.RefReg, 0x04000004u);
        QCOMPARE(w->Words.SDReg, 0x0C0016FCu);
        QVERIFY(shownErrors().isEmpty());
    }

    void commaLocaleSeparator() {
        WindowUnderTest w;
        w->DecimalSeparator = ',';
        setInputs(*w, "12340,5", "100", "10", "2");
        search(*w);
        QVERIFY(shownErrors().isEmpty());
        QCOMPARE(w->Label9->text(), QString("123,405"));
        setInputs(*w, "12340.5", "100", "10", "2");
        search(*w);
        QCOMPARE(shownErrors(), QStringList{"'12340.5' は浮動小数点数ではありません."});
    }

    void failureKeepsDisplays_data() {
        for (const char* column : {"out", "mult", "std", "r", "shown"}) QTest::addColumn<QString>(column);
        const auto row = [](const char* name, const char* out, const char* mult, const char* std, const char* r,
                            const char* shown) { QTest::newRow(name) << out << mult << std << r << shown; };
        row("output not decimal", "12a40", "100", "10", "2", "'12a40' は浮動小数点数ではありません.");
        row("first bad text wins", "x", "y", "10", "2", "'x' は浮動小数点数ではありません.");
        row("multiplier 100.0", "12340", "100.0", "10", "2", "'100.0' は整数ではありません.");
        row("multiplier 1e2", "12340", "1e2", "10", "2", "'1e2' は整数ではありません.");
        row("multiplier trailing blank", "12340", "100 ", "10", "2", "'100 ' は整数ではありません.");
        row("multiplier beyond double", "12340", "1e400", "10", "2", "浮動小数点数のオーバーフロー.");
        row("output beyond int64", "1e20", "100", "10", "2", "不正な浮動小数点数演算命令.");
        row("std beyond int64", "12340", "100", "1e20", "2", "不正な浮動小数点数演算命令.");
        row("std not decimal", "12340", "100", "", "2", "'' は浮動小数点数ではありません.");
        row("multiplier zero", "12340", "0", "10", "2", "0 による浮動小数点数除算.");
        row("zero by zero", "0", "0", "10", "2", "不正な浮動小数点数演算命令.");
        row("r zero", "12340", "100", "10", "0", "ゼロによる除算.");
        row("pd zero", "12340", "100", "10", "20000000", "ゼロによる除算.");
        row("r hexadecimal", "12340", "100", "10", "$10", "'$10' は浮動小数点数ではありません.");
        row("r fraction", "12340", "100", "10", "2.5", "'2.5' は整数ではありません.");
    }

    void failureKeepsDisplays() {
        QFETCH(QString, out);
        QFETCH(QString, mult);
        QFETCH(QString, std);
        QFETCH(QString, r);
        QFETCH(QString, shown);

        // After a good search the previous results stay.
        WindowUnderTest w;
        search(*w);
        const planning::RegisterWords before = w->Words;
        w->Memo2->setPlainText("log");
        setInputs(*w, out, mult, std, r);
        search(*w);
        QCOMPARE(shownErrors(), QStringList{shown});
        QCOMPARE(displays(*w), kWorkedExample);
        QCOMPARE(w->Memo2->toPlainText(), QString());
        QCOMPARE(w->Words.CPReg, before.CPReg);
        QCOMPARE(w->Words.IntgReg, before.IntgReg);

        // After a reset the blanks stay.
        recorder().shown.clear();
        QTest::mouseClick(w->Button5, Qt::LeftButton);
        const QStringList blanks = displays(*w);
        search(*w);
        QCOMPARE(shownErrors(), QStringList{shown});
        QCOMPARE(displays(*w), blanks);
    }

    void negativeMultiplierPlansNegativeRatios() {
        WindowUnderTest w;
        setInputs(*w, "12340", "-100", "10", "2");
        search(*w);
        // The plan shows; the words refuse data that would spill into the register number.
        QCOMPARE(shownErrors().size(), 1);
        QVERIFY2(shownErrors()[0].startsWith("Register 03h data -12 "), qPrintable(shownErrors()[0]));
        QCOMPARE(w->Label4->text(), QString("-123400000"));
        QCOMPARE(w->Label18->text(), QString("-12"));
        QCOMPARE(w->Label20->text(), QString("-5704252"));  // truncated toward zero
    }

    // The encoding fails after the labels were written: labels new, result fields old, words
    // updated up to the failing one.
    void encodingFailureUpdatesPartly() {
        WindowUnderTest w;
        search(*w);
        w->ScrollBar1->setValue(0);  // changes CPReg at the next search
        setInputs(*w, "12340", "1", "10", "10000000");
        search(*w);
        QCOMPARE(shownErrors(), QStringList{"'6170000000' は整数ではありません."});
        QCOMPARE(w->Label11->text(), QString("1"));
        QCOMPARE(w->Label10->text(), QString("10000000"));
        QCOMPARE(w->Label18->text(), QString("6170000000"));
        QCOMPARE(w->Label32->text(), QString("6170000000"));
        QCOMPARE(w->Edit4->text(), QString("04000004"));
        QCOMPARE(w->Edit5->text(), QString("13407FFE"));
        QCOMPARE(w->Edit6->text(), QString("06000018"));
        QCOMPARE(w->Words.CPReg, 0x13400000u + 127u * 2u);
        QCOMPARE(w->Words.SDReg, 0x0C0016FCu);
        QCOMPARE(w->Words.RefReg, 0x04008000u);
        QCOMPARE(w->Words.IntgReg, 0x06000018u);
        QCOMPARE(w->Words.FracReg, 0x08AE147Au);
    }

    void anyKeyInFirstThreeEditsBlanks_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("key");
        QTest::newRow("Edit1 arrow") << "Edit1" << int(Qt::Key_Left);
        QTest::newRow("Edit1 digit") << "Edit1" << int(Qt::Key_5);
        QTest::newRow("Edit2 shift") << "Edit2" << int(Qt::Key_Shift);
        QTest::newRow("Edit3 end") << "Edit3" << int(Qt::Key_End);
    }

    void anyKeyInFirstThreeEditsBlanks() {
        QFETCH(QString, edit);
        QFETCH(int, key);
        WindowUnderTest w;
        search(*w);
        w->ScrollBar3->setValue(7);
        QTest::keyClick(w->findChild<QLineEdit*>(edit), Qt::Key(key));
        for (QLabel* l : {w->Label4, w->Label11, w->Label9, w->Label10, w->Label18, w->Label20})
            QCOMPARE(l->text(), QString("  "));
        for (QLineEdit* e : {w->Edit4, w->Edit5, w->Edit6, w->Edit9, w->Edit10}) QCOMPARE(e->text(), QString());
        QCOMPARE(w->Button4->text(), QString("search"));
        QCOMPARE(w->Label33->text(), QString("35uA"));
        // Kept by the reset: the hidden labels and the words.
        QCOMPARE(w->Label29->text(), QString("28521267200000"));
        QCOMPARE(w->Label32->text(), QString("12"));
        QCOMPARE(w->Words.FracReg, 0x08AE147Au);
    }

    void keyInEdit11KeepsResults() {
        WindowUnderTest w;
        search(*w);
        QTest::keyClicks(w->Edit11, "5");
        QTest::keyClick(w->Edit11, Qt::Key_Left);
        QCOMPARE(w->Edit11->text(), QString("25"));
        QCOMPARE(displays(*w), kWorkedExample);
    }

    void pressWithoutReleaseKeepsResults() {
        WindowUnderTest w;
        search(*w);
        QTest::keyPress(w->Edit1, Qt::Key_Right);
        QCOMPARE(displays(*w), kWorkedExample);
        QTest::keyRelease(w->Edit1, Qt::Key_Right);
        QCOMPARE(w->Label4->text(), QString("  "));
    }

    void currentLabelsFollowTheBars() {
        WindowUnderTest w;
        search(*w);
        QScrollBar* up = w->ScrollBar1;
        up->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(w->Label26->text(), QString("2520uA"));

        // Every step of a drag shows, not only where it ends.
        QStringList seen;
        connect(up, &QAbstractSlider::sliderMoved, this, [&] { seen << w->Label26->text(); });
        up->setSliderDown(true);
        for (int pos : {100, 50, 0}) up->setSliderPosition(pos);
        up->setSliderDown(false);
        QCOMPARE(seen, (QStringList{"2000uA", "1000uA", "0uA"}));
        QCOMPARE(w->Label26->text(), QString("0uA"));

        // The bars' arrow buttons and the keyboard's End.
        QTest::mouseClick(w->ScrollBar2, Qt::LeftButton, {}, QPoint(4, 8));
        QCOMPARE(w->Label28->text(), QString("2520uA"));
        QTest::mouseClick(w->ScrollBar3, Qt::LeftButton, {}, QPoint(w->ScrollBar3->width() - 4, 8));
        QCOMPARE(w->Label33->text(), QString("5uA"));
        QTest::mouseClick(w->ScrollBar3, Qt::LeftButton, {}, QPoint(w->ScrollBar3->width() - 30, 8));  // trough
        QCOMPARE(w->ScrollBar3->value(), 2);
        QCOMPARE(w->Label33->text(), QString("10uA"));
        w->ScrollBar3->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(w->Label33->text(), QString("635uA"));

        // A position set by the program is no scroll.
        w->ScrollBar3->setValue(3);
        QCOMPARE(w->Label33->text(), QString("635uA"));

        // Moving bars neither blanks the results nor recomputes the words.
        QCOMPARE(displays(*w), kWorkedExample);
        QCOMPARE(w->Words.CPReg, 0x13407FFEu);
    }

    // Without a mouse: Tab reaches every bar; the arrow keys and the wheel move one step the way
    // the bar is drawn (left, up and wheel-up towards 0) and the label follows, as for a click.
    void barsWorkFromKeyboardAndWheel() {
        WindowUnderTest w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(&*w));
        w->Edit1->setFocus();
        QSet<QWidget*> reached;
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget();
        }
        for (QScrollBar* bar : {w->ScrollBar1, w->ScrollBar2, w->ScrollBar3})
            QVERIFY2(reached.contains(bar), qPrintable(bar->objectName()));

        TScrollBar* offset = w->ScrollBar3;  // at 0; 5uA a step
        QStringList seen;
        auto press = [&](Qt::Key key) {
            QTest::keyClick(offset, key);
            seen << w->Label33->text();
        };
        auto turn = [&](QPoint angle) {
            const QPointF at(offset->width() / 2.0, offset->height() / 2.0);
            QWheelEvent e(at, offset->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
            QApplication::sendEvent(offset, &e);
            seen << w->Label33->text();
        };
        press(Qt::Key_Right);
        press(Qt::Key_Right);
        press(Qt::Key_Left);
        press(Qt::Key_Down);
        press(Qt::Key_Up);
        turn({0, -120});  // a notch down
        turn({0, 120});   // and up
        turn({-120, 0});  // pushed right
        turn({0, -60});   // half a notch: nothing yet
        turn({0, -60});
        QCOMPARE(seen, (QStringList{"5uA", "10uA", "5uA", "10uA", "5uA", "10uA", "5uA", "10uA", "10uA", "15uA"}));
        QCOMPARE(offset->value(), 3);
    }

    void resetKeepsHiddenLabelsAndWords() {
        WindowUnderTest w;
        search(*w);
        QTest::mouseClick(w->Button5, Qt::LeftButton);
        QCOMPARE(w->Label4->text(), QString("  "));
        QCOMPARE(w->Edit4->text(), QString());
        QCOMPARE(w->Label29->text(), QString("28521267200000"));
        QCOMPARE(w->Label32->text(), QString("12"));
        QCOMPARE(w->Words.RefReg, 0x04000004u);
        QVERIFY(w->RadioGroup2->isEnabled());
        QVERIFY(w->Button4->isEnabled());
    }

    void windowCarriesOnAfterAnError() {
        WindowUnderTest w;
        setInputs(*w, "12340", "0", "10", "2");
        search(*w);
        QCOMPARE(shownErrors().size(), 1);
        setInputs(*w, "12340", "100", "10", "2");
        search(*w);
        QCOMPARE(shownErrors().size(), 1);
        QCOMPARE(displays(*w), kWorkedExample);
    }
};

VT_UI_TEST_MAIN(SearchTest)
#include "search_test.moc"
