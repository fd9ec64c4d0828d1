// The "Band" page in the window: made when first shown, "Use" as typing and "search", the
// threshold of the Channels page, Save… in each format, the keys along the chart.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>

#include "tests/ui/ui_test_support.h"
#include "ui/band_chart.h"
#include "ui/band_page.h"
#include "ui/channels_page.h"

namespace {

void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

// Shows the page, plots the band given and waits for it.
void plot(TForm1& w, const QString& from, const QString& to, const QString& step, const QString& rs) {
    w.PageControl1->setCurrentWidget(w.bandPage);
    BandPage& p = *w.bandPage;
    p.fromEdit->setText(from);
    p.toEdit->setText(to);
    p.stepEdit->setText(step);
    p.rEdit->setText(rs);
    QSignalSpy finished(&p, &BandPage::finished);
    click(p.plotButton);
    QVERIFY(finished.wait(20000));
}

// What the search leaves on Manual Write: the result labels and the five words.
QStringList searched(TForm1& w) {
    QStringList s;
    for (QLabel* l : {w.Label4, w.Label11, w.Label9, w.Label10, w.Label18, w.Label20}) s << l->text();
    for (QLineEdit* e : {w.Edit4, w.Edit6, w.Edit9, w.Edit5, w.Edit10}) s << e->text();
    return s;
}

}  // namespace

class BandPageTest : public QObject {
    Q_OBJECT
private slots:
    // Nothing of the page is made at start; its defaults come from Manual Write when it is shown.
    void madeWhenFirstShownWithTheDefaults() {
        WindowUnderTest w;
        QCOMPARE(w->PageControl1->tabText(5), QString("Band"));
        QVERIFY(!w->bandPage->built());
        QVERIFY(w->bandPage->findChildren<QWidget*>().isEmpty());
        w->show();
        w->Edit1->setText("12340.5");
        w->Edit11->setText("3");
        w->PageControl1->setCurrentWidget(w->bandPage);
        QVERIFY(w->bandPage->built());
        const BandPage& p = *w->bandPage;
        QCOMPARE(QStringList({p.fromEdit->text(), p.toEdit->text(), p.stepEdit->text(), p.rEdit->text()}),
                 QStringList({"12290.5", "12390.5", "0.1", "3, 1, 2, 4"}));
        QVERIFY(p.chart->isVisible());
        const auto name = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); };
        QCOMPARE(name(p.fromEdit), QString("From (MHz)"));
        QCOMPARE(name(p.plotButton), QString("Plot"));
        QCOMPARE(name(p.chart), QString("Band chart"));
        QVERIFY(!QAccessible::queryAccessibleInterface(p.chart)->text(QAccessible::Description).isEmpty());
    }

    // The chosen point's output and R, typed and searched, give the same words as "Use".
    void useGivesTheWordsOfTypingAndSearch_data() {
        QTest::addColumn<qint64>("index");
        QTest::addColumn<int>("curve");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("r");
        QTest::newRow("first output, R 2") << qint64(0) << 0 << "12339.50"
                                           << "2";
        QTest::newRow("middle, R 3") << qint64(2) << 1 << "12340.00"
                                     << "3";
        QTest::newRow("last output, R 7") << qint64(4) << 2 << "12340.50"
                                          << "7";
    }
    void useGivesTheWordsOfTypingAndSearch() {
        QFETCH(qint64, index);
        QFETCH(int, curve);
        QFETCH(QString, output);
        QFETCH(QString, r);
        WindowUnderTest w;
        w->show();
        plot(*w, "12339.50", "12340.5", "0.25", "2, 3, 7");
        w->bandPage->chart->choose(index, curve);
        click(w->bandPage->useButton);
        QCOMPARE(w->PageControl1->currentWidget(), w->TabSheet2);
        QCOMPARE(w->Edit1->text(), output);
        QCOMPARE(w->Edit11->text(), r);
        const QStringList used = searched(*w);
        QVERIFY(!w->Edit4->text().isEmpty());

        WindowUnderTest typed;
        typed->show();
        for (QLineEdit* e : {typed->Edit1, typed->Edit11}) e->clear();
        QTest::keyClicks(typed->Edit1, output);
        QTest::keyClicks(typed->Edit11, r);
        click(typed->Button4);
        QCOMPARE(used, searched(*typed));
    }

    // Moving along the chart with the keys reads each point in the line under it.
    void keysMoveAlongTheCurvesAndTheLineReadsThePoint() {
        WindowUnderTest w;
        w->show();
        plot(*w, "12339.5", "12340.5", "0.5", "2, 3");
        BandChart* chart = w->bandPage->chart;
        chart->setFocus();
        QTest::keyClick(chart, Qt::Key_Right);
        QTest::keyClick(chart, Qt::Key_Right);
        QTest::keyClick(chart, Qt::Key_Up);
        QCOMPARE(chart->chosenIndex(), int64_t(1));
        QCOMPARE(chart->chosenCurve(), 1);
        QCOMPARE(w->bandPage->readout->text(),
                 QString("12340.0 MHz, R 3: error 1225.471 Hz (nearest word -6.358 Hz), spur 66678.921 Hz (beat), "
                         "nearer than 1000000 Hz"));
        QTest::keyClick(chart, Qt::Key_End);
        QCOMPARE(chart->chosenIndex(), int64_t(2));
    }

    // A new threshold plots the last band again; the summary says where each R comes nearer.
    void theChannelsThresholdIsTheChartsAndTheSummarys() {
        WindowUnderTest w;
        w->show();
        plot(*w, "12339.5", "12340.5", "0.5", "2, 3");
        QCOMPARE(w->bandPage->summary->toPlainText(),
                 QString("R 2: nowhere below 1000000 Hz\nR 3: below 1000000 Hz from 12339.5 to 12340.5 MHz"));
        QSignalSpy finished(w->bandPage, &BandPage::finished);
        w->channelsPage->spurWarnBox->setValue(1'600'001);
        QVERIFY(finished.wait(20000));
        QCOMPARE(w->bandPage->chart->result()->request.thresholdHz, 1'600'001);
        QVERIFY2(w->bandPage->summary->toPlainText().startsWith("R 2: below 1600001 Hz from 12340.0 to 12340.5 MHz\n"),
                 qPrintable(w->bandPage->summary->toPlainText()));
    }

    // "Use nearest word" does as "Use", then leaves Manual Write with the nearest word's 03h and
    // 04h words (vtplan --nearest 12340 100 10 3: N_INT 18, NFrac 8556380), which "set" stores as
    // such; "search" gives the window's words again.
    void useNearestWordLeavesTheNearestWords() {
        WindowUnderTest w;
        w->show();
        plot(*w, "12339.5", "12340.5", "0.5", "3");
        w->bandPage->chart->choose(1, 0);
        click(w->bandPage->useNearestButton);
        QCOMPARE(w->PageControl1->currentWidget(), w->TabSheet2);
        QCOMPARE(QStringList({w->Edit1->text(), w->Edit11->text(), w->Label18->text(), w->Label20->text(),
                              w->Edit6->text(), w->Edit9->text()}),
                 QStringList({"12340.0", "3", "18", "8556380", "06000024", "09051EB8"}));
        QVERIFY(
            w->Memo2->toPlainText().endsWith("Nearest word: N_INT 18, NFrac 8556380, error 1225.471 Hz -> -6.358 Hz."));
        click(w->Button14);
        QCOMPARE(w->ChannelTable.FracReg[0], 0x09051EB8u);
        QVERIFY(w->ChannelRecords[0].nearestWord && !w->ChannelRecords[0].stale);
        click(w->Button4);
        QVERIFY(w->Edit9->text() != "09051EB8");
    }

    // What keeps a band from being plotted is said in the page's words; an R the 02h word cannot
    // hold is plotted with a warning on the page and in the summary.
    void plotSaysWhatIsWrongInThePagesWords_data() {
        QTest::addColumn<QStringList>("inputs");  // From, To, Step, R
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("readout");
        QTest::newRow("To below From") << QStringList{"12390", "12290", "0.1", "2"}
                                       << "To (MHz) is below From (MHz): 12390-12290."
                                       << "";
        QTest::newRow("Step 0") << QStringList{"12290", "12390", "0", "2"} << "Step (MHz) must be above 0: 0."
                                << "";
        QTest::newRow("too many points") << QStringList{"0", "100000", "0.01", "2"}
                                         << "at most 1000000 points in one sweep: 10000001 outputs x 1 values of R."
                                         << "";
        QTest::newRow("more R than colours") << QStringList{"12290", "12390", "1", "1, 2, 3, 4, 5, 6, 7, 8, 9"}
                                             << "at most 8 values of R, each in a colour of its own: 9 are listed."
                                             << "";
        QTest::newRow("eight R") << QStringList{"12290", "12390", "1", "1, 2, 3, 4, 5, 6, 7, 8"} << ""
                                 << "Point at a curve, or move along it with the arrow keys, to read a point.";
        QTest::newRow("R above 16384")
            << QStringList{"12290", "12390", "1", "2, 20000"} << ""
            << "Warning: R 20000 is above 16384, the most the 02h word holds; the words use R 16384.";
    }
    void plotSaysWhatIsWrongInThePagesWords() {
        QFETCH(QStringList, inputs);
        QFETCH(QString, error);
        QFETCH(QString, readout);
        WindowUnderTest w;
        w->show();
        recorder().shown.clear();
        if (error.isEmpty()) {
            plot(*w, inputs[0], inputs[1], inputs[2], inputs[3]);
            QCOMPARE(w->bandPage->readout->text(), readout);
            QCOMPARE(w->bandPage->summary->toPlainText().contains("warning: R 20000 is above 16384"),
                     inputs[3].contains("20000"));
            return;
        }
        w->PageControl1->setCurrentWidget(w->bandPage);
        BandPage& p = *w->bandPage;
        for (int i = 0; i < 4; ++i)
            (QList<QLineEdit*>{p.fromEdit, p.toEdit, p.stepEdit, p.rEdit})[i]->setText(inputs[i]);
        click(p.plotButton);
        QCOMPARE(shownErrors(), QStringList{error});
    }

    // Save… writes what the name's suffix says, the CSV as vtplan --sweep --csv; another name is
    // refused and nothing is written.
    void saveWritesEachFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("PNG") << "band.png" << QByteArray("\x89PNG");
        QTest::newRow("SVG") << "band.SVG" << QByteArray("<?xml");
        QTest::newRow("CSV") << "band.csv" << QByteArray("local_output_mhz,r,actual_hz,error_hz,spur_offset_hz");
        QTest::newRow("other") << "band.txt" << QByteArray();
    }
    void saveWritesEachFormat() {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        WindowUnderTest w;
        w->show();
        plot(*w, "12339.5", "12340.5", "0.5", "2, 3");
        const QString path = w.dir() + "/" + name;
        w->bandPage->chooseFile = [path](const QString&) { return path; };
        recorder().shown.clear();
        click(w->bandPage->saveButton);
        QFile file(path);
        if (start.isEmpty()) {
            QVERIFY(!file.exists());
            QCOMPARE(shownErrors(), QStringList{"Save… writes a .png, .svg or .csv file: band.txt."});
            return;
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
        if (name.endsWith(".csv")) QCOMPARE(bytes.toStdString(), w->bandPage->chart->result()->csv);
        if (name.endsWith(".SVG")) QVERIFY(bytes.contains("Multiplier 100, STD 10 MHz, spur warning below 1000000 Hz"));
        QVERIFY(w->Memo2->toPlainText().endsWith("Band written to " + path + "."));
    }
};

VT_UI_TEST_MAIN(BandPageTest)
#include "band_page_test.moc"
