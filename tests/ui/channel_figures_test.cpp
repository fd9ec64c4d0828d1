// The Channels page as the engineer's view: for the same inputs its output, error and spur are
// vtplan's, for a slot set in the window and for one opened from a file (multiplier derived);
// the status follows "set", a description that no longer quotes the search, and Open…; the
// first four columns fit the page, and every cell and control has a name.
#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <map>

#include "tests/ui/ui_test_support.h"
#include "ui/channels_page.h"
#include "ui/radio_group.h"

namespace {

using Page = ChannelsPage;

QString cellText(TForm1& w, int row, int column) { return w.channelsPage->table->item(row, column)->text(); }

struct Vtplan {
    QString out, err;
};
Vtplan vtplan(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    p.setProcessEnvironment(env);
    p.start(VTPLAN_PATH, args);
    if (!p.waitForFinished(20000)) qFatal("vtplan did not finish");
    return {QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// "Name value" lines of vtplan's single mode.
std::map<QString, QString> planLines(const QString& out) {
    std::map<QString, QString> lines;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
        lines[line.section(' ', 0, 0)] = line.section(' ', 1);
    return lines;
}

void searchAndSet(TForm1& w, int channel, const QStringList& inputs) {
    w.Edit1->setText(inputs[0]);
    w.Edit2->setText(inputs[1]);
    w.Edit3->setText(inputs[2]);
    w.Edit11->setText(inputs[3]);
    w.RadioGroup2->setItemIndex(channel);
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    QTest::mouseClick(w.Button14, Qt::LeftButton);
}

}  // namespace

class ChannelFiguresTest : public QObject {
    Q_OBJECT
private slots:
    // Search and set in the window, read the cells: what vtplan prints for the same inputs.
    void aSetSlotShowsVtplansFigures() {
        WindowUnderTest w;
        setClock(*w, {localTime(2026, 12, 7, 11, 26, 2)});
        const QList<QStringList> plans{{"12340", "100", "10", "2"}, {"12340", "100", "10", "3"},
                                       {"12000", "100", "10", "1"}, {"12345.5", "100", "10", "2"},
                                       {"12800", "128", "10", "2"}, {"9876.54321", "7", "10", "5"},
                                       {"11000", "100", "10", "1"}, {"24000.000001", "2", "100", "1"}};
        for (int c = 0; c < plans.size(); ++c) {
            searchAndSet(*w, c, plans[c]);
            const Vtplan v = vtplan(plans[c]);
            auto lines = planLines(v.out);
            const QString what = plans[c].join(' ');
            QCOMPARE(cellText(*w, c, Page::Output), plans[c][0]);
            QVERIFY2(cellText(*w, c, Page::Error) == lines["ErrorHz"], qPrintable(what));
            const QString mark = v.err.contains("closer than 1000000 Hz") ? " !" : "";
            QVERIFY2(cellText(*w, c, Page::Spur) == lines["SpurOffsetHz"] + mark, qPrintable(what));
            QCOMPARE(cellText(*w, c, Page::Multiplier), plans[c][1]);
            QCOMPARE(cellText(*w, c, Page::Status), QString("set 11:26"));
        }
        QCOMPARE(cellText(*w, 1, Page::Error), QString("1225.471"));
        QCOMPARE(cellText(*w, 1, Page::Spur), QString("66678.921 !"));
        QCOMPARE(cellText(*w, 2, Page::Spur), QString("none"));
        // A threshold of its own, as vtplan's --spur-warn.
        w->channelsPage->spurWarnBox->setValue(66678);
        QCOMPARE(cellText(*w, 1, Page::Spur), QString("66678.921"));
        w->channelsPage->spurWarnBox->setValue(66679);
        QCOMPARE(cellText(*w, 1, Page::Spur), QString("66678.921 !"));
    }

    // A header keeps no multiplier: the page derives it and says so; the figures are those of
    // the list vtplan planned the header from.
    void aSlotFromAFileDerivesItsMultiplier() {
        WindowUnderTest w;
        const QString header = w.dir() + "/table.h";
        const Vtplan v = vtplan({"--channels", VT_EXAMPLE_CHANNELS, "--header", header});
        w->channelsPage->chooseFile = [&](FileDialogKind, const QString&) { return header; };
        QTest::mouseClick(w->channelsPage->openButton, Qt::LeftButton);
        const QStringList lines = v.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 8);
        for (const QString& line : lines) {
            const QStringList f = line.split(' ');  // channel, five words, actual, error, spur, mark
            const int c = f[0].toInt();
            QCOMPARE(cellText(*w, c, Page::Error), f[7] + " (derived)");
            QCOMPARE(cellText(*w, c, Page::Spur), f[8] + (f[9] == "!" ? " !" : ""));
            QCOMPARE(cellText(*w, c, Page::Multiplier), QString(c == 7 ? "128 (derived)" : "100 (derived)"));
            QCOMPARE(cellText(*w, c, Page::Status), QString("from table.h"));
        }
        w->channelsPage->table->setCurrentCell(5, 0);
        const QString details = w->channelsPage->details->toPlainText();
        QVERIFY2(details.startsWith("ch5: 12450MHz, std=10MHz, PD=10000000Hz, UpGain=64, DnGain=64, Offset=-8, HiK "
                                    "mode=Off, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use\n"),
                 qPrintable(details));
        QVERIFY2(details.contains("\nMultiplier 100 (derived), error 47.684 Hz.\nFractional spur at 2250000.238 Hz "
                                  "(the nearer), beat spur at 4500000.477 Hz: clears the 1000000 Hz threshold.\n"),
                 qPrintable(details));
        // Under a decimal comma the list's "12370.5" still reads; the figures follow the window.
        w->DecimalSeparator = ',';
        QTest::mouseClick(w->channelsPage->openButton, Qt::LeftButton);
        QCOMPARE(cellText(*w, 3, Page::Error), QString("28,133 (derived)"));
    }

    // "set" stores the last search's words with the description of the controls as they are now:
    // when those differ the slot is stale, and its error is from the LocalOutput it quotes.
    void aDescriptionThatNoLongerQuotesTheSearchIsStale() {
        WindowUnderTest w;
        setClock(*w, {localTime(2026, 12, 7, 9, 5, 0)});
        QTest::mouseClick(w->Button14, Qt::LeftButton);  // ch0 before any search: zero words
        QCOMPARE(cellText(*w, 0, Page::Status), QString("stale"));
        searchAndSet(*w, 1, {"12340", "100", "10", "2"});
        QCOMPARE(cellText(*w, 1, Page::Status), QString("set 09:05"));
        w->ScrollBar1->setValue(5);  // the words keep the search's 127
        w->RadioGroup2->setItemIndex(2);
        QTest::mouseClick(w->Button14, Qt::LeftButton);
        QCOMPARE(cellText(*w, 2, Page::Status), QString("stale"));
        QCOMPARE(cellText(*w, 2, Page::Error), QString("-26.226"));
        w->ScrollBar1->setValue(127);
        w->Edit1->setText("12350");
        w->Edit1KeyUp();  // a key released: the displays blank, PD with them
        w->RadioGroup2->setItemIndex(3);
        QTest::mouseClick(w->Button14, Qt::LeftButton);
        QCOMPARE(cellText(*w, 3, Page::Status), QString("stale"));
        QCOMPARE(cellText(*w, 3, Page::Output), QString("12350"));
        QCOMPARE(cellText(*w, 3, Page::Error), QString("-10000026.226"));
        QCOMPARE(cellText(*w, 3, Page::Spur), QString("1600000.262"));
        w->channelsPage->table->setCurrentCell(3, 0);
        QVERIFY(w->channelsPage->details->toPlainText().contains("Stale: the description quotes other settings"));
        QTest::mouseClick(w->Button4, Qt::LeftButton);
        QTest::mouseClick(w->Button14, Qt::LeftButton);
        QCOMPARE(cellText(*w, 3, Page::Status), QString("set 09:05"));
        QCOMPARE(cellText(*w, 3, Page::Error), QString("23.842"));
        QCOMPARE(cellText(*w, 4, Page::Status), QString("not set"));
        // An encoding that fails half way leaves words of no one search: here the new 02h word
        // with the old 03h and 04h, while the description (R 1001 and 1002 both give PD 99 Hz)
        // reads as the last good search's.
        searchAndSet(*w, 4, {"12340", "100", "0.1", "1001"});
        QCOMPARE(cellText(*w, 4, Page::Status), QString("set 09:05"));
        searchAndSet(*w, 5, {"12340", "-100", "0.1", "1002"});
        QCOMPARE(shownErrors(), QStringList{"Register 03h data -623232 is out of range 0 to 16777215."});
        QCOMPARE(w->ChannelTable.RefReg[5], 0x040007D4u);
        QCOMPARE(cellText(*w, 5, Page::Status), QString("stale"));
    }

    // The widest texts of the first four columns fit without scrolling in the window as it is, and
    // a screen reader finds a name for every cell (an empty one too) and every control.
    void theEngineersColumnsFitAndEverythingIsNamed() {
        WindowUnderTest w;
        w->show();
        w->PageControl1->setCurrentIndex(4);
        planning::ChannelTable table;
        planning::SlotRecords records;
        const std::string wide = "12345.678901MHz, std=10MHz, PD=3333333Hz, UpGain=127";
        for (uint32_t c = 0; c < 7; ++c)
            table.set(int(c), {0x04000006, 0x06000048 + 2 * c, 0x09FFFFFE, 0x13407FFE, 0}, wide);
        using S = planning::SlotRecord::Source;
        for (planning::SlotRecord& r : records) {
            r.source = S::Set;
            r.setTime = "11:26";
        }
        records[0].source = S::File;
        records[0].fileName = "20261207_1126param.h";
        records[1].stale = true;
        records[2].writtenTime = "11:27";
        records[2].writtenPort = "com12";
        records[3].writtenTime = "11:27";
        records[3].changedSinceWritten = true;
        records[7].source = S::None;
        w->channelsPage->showTable(table, records, '.');
        QTableWidget* t = w->channelsPage->table;
        QCOMPARE(t->horizontalScrollBar()->value(), 0);
        for (int c = Page::Output; c <= Page::Status; ++c) {
            QVERIFY2(t->columnViewportPosition(c) + t->columnWidth(c) <= t->viewport()->width(),
                     qPrintable(QString::number(c)));
            for (int r = 0; r < t->rowCount(); ++r) {
                const QString text = t->item(r, c)->text();
                QVERIFY2(t->fontMetrics().horizontalAdvance(text) + 6 <= t->columnWidth(c), qPrintable(text));
            }
        }
        QCOMPARE(t->item(2, Page::Status)->text(), QString("written 11:27 (com12)"));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(t);
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                QVERIFY2(!a->tableInterface()->cellAt(r, c)->text(QAccessible::Name).isEmpty(),
                         qPrintable(QString("%1 %2").arg(r).arg(c)));
        QCOMPARE(a->tableInterface()->cellAt(7, Page::Error)->text(QAccessible::Name), QString("empty"));
        for (QWidget* control : w->channelsPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (control->focusPolicy() & Qt::TabFocus)
                QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                         qPrintable(control->objectName()));
    }

    // The details line names both spurs and the nearer; when that one is too near, the values of
    // R near the slot's own (within 1 … 4 x R) whose spur clears the threshold with the smallest
    // error, each with its error and the nearest word's, from the inputs recorded at "set"; a
    // spur that clears it needs none. An R the 02h
    // word cannot hold is said to be replaced.
    void theDetailsLineOffersOtherValuesOfR() {
        WindowUnderTest w;
        searchAndSet(*w, 0, {"12340", "100", "10", "3"});
        searchAndSet(*w, 1, {"12340", "100", "10", "2"});
        searchAndSet(*w, 2, {"12340", "100", "10", "20000"});
        const auto details = [&](int c) {
            w->channelsPage->table->setCurrentCell(c, 0);
            return w->channelsPage->details->toPlainText().split('\n').mid(2, 2).join('\n');
        };
        QCOMPARE(details(0), QString("Multiplier 100, error 1225.471 Hz.\nFractional spur at 1633327.206 Hz, beat spur "
                                     "at 66678.921 Hz (the nearer): nearer than the 1000000 Hz threshold; with R 2: "
                                     "1600000.262 Hz (error -26.226 Hz, nearest word -26.226 Hz), with R 1: "
                                     "1700000.167 Hz (error 33.379 Hz, nearest word 33.379 Hz)."));
        QCOMPARE(details(1), QString("Multiplier 100, error -26.226 Hz.\nFractional spur at 1699999.869 Hz, beat spur "
                                     "at 1600000.262 Hz (the nearer): clears the 1000000 Hz threshold."));
        QCOMPARE(details(2), QString("R 20000 is above 16384, the most the 02h word holds; the words use R 16384.\n"
                                     "Multiplier 100, error 2723476562.500 Hz."));
        QCOMPARE(cellText(*w, 2, Page::Error), QString("2723476562.500"));
        searchAndSet(*w, 3, {"12000", "100", "10", "3"});  // R 1 and R 2 divide it whole: integer mode
        QVERIFY2(
            details(3).endsWith("; with R 1: integer mode (error 0.000 Hz, nearest word 0.000 Hz), with R 2: integer "
                                "mode (error 0.000 Hz, nearest word 0.000 Hz)."),
            qPrintable(details(3)));
        w->channelsPage->spurWarnBox->setValue(3500000);
        QVERIFY2(details(0).endsWith("nearer than the 3500000 Hz threshold; no R up to 12 clears it."),
                 qPrintable(details(0)));
    }

    // The threshold is the [vtconfig] key SpurWarnHz: read at start, written at close once chosen;
    // an arrow press steps it by 100 kHz.
    void theThresholdIsKeptInTheSettingsFile() {
        const vttest::TempDir dir;
        const vttest::CurrentDirectory cwd(dir.path());
        vttest::writeBytes(dir.file("VTCONFIG.INI"), "[vtconfig]\r\nSpurWarnHz=70000\r\n");
        {
            TForm1 w;
            QCOMPARE(w.channelsPage->spurWarnBox->value(), 70000);
            searchAndSet(w, 0, {"12340", "100", "10", "3"});
            QCOMPARE(cellText(w, 0, Page::Spur), QString("66678.921 !"));
            w.channelsPage->spurWarnBox->setValue(50000);
            QTest::keyClick(w.channelsPage->spurWarnBox, Qt::Key_Up);  // an arrow steps by 100 kHz
            QVERIFY(w.FormClose());
        }
        QVERIFY(vttest::readWholeFile(dir.file("VTCONFIG.INI")).find("SpurWarnHz=150000\r\n") != std::string::npos);
    }
};

VT_UI_TEST_MAIN(ChannelFiguresTest)
#include "channel_figures_test.moc"
