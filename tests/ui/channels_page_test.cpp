// The "Channels" page: the table as "set" leaves it, "Open…" and "Save…", a header given on the
// command line, and the table kept for the next start when the operator asks for it.
#include <sys/stat.h>
#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "headerfile/header_parse.h"
#include "headerfile/header_text.h"
#include "planning/slot_record.h"
#include "tests/ui/ui_test_support.h"
#include "ui/channels_page.h"
#include "ui/radio_group.h"
#include "ui/start_options.h"

namespace {

const QString kDefaultDescription =
    "12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, "
    "Mode=ModeA, frac_rstb=Enable, frac_bypass=Use";
const QStringList kDefaultCells{kDefaultDescription, "04000004",     "06000018",     "08AE147A", "13407FFE", "2", "12",
                                "5704253",           "12.339999974", "123399999.738"};
const QStringList kEmptyCells{"", "00000000", "00000000", "00000000", "00000000", "", "", "", "", ""};

void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

// What a row shows of its slot: the description, the words and their meaning, the synthesizer
// frequency, then the status with its time as "HH:MM".
QStringList row(TForm1& w, int r) {
    const QTableWidget* t = w.channelsPage->table;
    QStringList cells{t->item(r, ChannelsPage::Description)->text()};
    for (int c = ChannelsPage::RefReg; c <= ChannelsPage::Synthesizer; ++c) cells << t->item(r, c)->text();
    return cells << t->item(r, ChannelsPage::Status)->text().replace(QRegularExpression("\\d\\d:\\d\\d"), "HH:MM");
}

// Search with the window's inputs and "set" into channel.
void setChannel(TForm1& w, int channel) {
    w.RadioGroup2->setItemIndex(channel);
    click(w.Button4);
    click(w.Button14);
}

// The file dialogs answer with path.
void answerDialogs(TForm1& w, const QString& path) {
    w.channelsPage->chooseFile = [path](FileDialogKind, const QString&) { return path; };
}

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

class ChannelsPageTest : public QObject {
    Q_OBJECT
    vttest::TempDir stateHome_;  // XDG_STATE_HOME: the kept table never lands in the user's own

private slots:
    void initTestCase() { ::setenv("XDG_STATE_HOME", stateHome_.path().c_str(), 1); }

    void setShowsInTheTableAtOnce() {
        WindowUnderTest w;
        setChannel(*w, 3);
        QCOMPARE(row(*w, 3), kDefaultCells + QStringList{"set HH:MM"});
        QCOMPARE(row(*w, 0), kEmptyCells + QStringList{"not set"});
        QCOMPARE(w->channelsPage->table->verticalHeaderItem(3)->text(), QString("ch3"));
    }

    void openOfABadFileLeavesTheTableAndShowsTheBox() {
        WindowUnderTest w;
        setChannel(*w, 0);
        std::string bytes = headerfile::headerFileBytes(w->ChannelTable, "//date");
        bytes.replace(bytes.find("0x06000018"), 10, "0x0600001G");  // line 4, ch0's IntgReg
        vttest::writeBytes(local(w.dir() + "/bad.h"), bytes);
        answerDialogs(*w, w.dir() + "/bad.h");
        click(w->channelsPage->openButton);
        QCOMPARE(shownErrors(), QStringList{"line 4: expected `  0x…,    //IntgReg`."});
        QCOMPARE(row(*w, 0), kDefaultCells + QStringList{"set HH:MM"});
        QCOMPARE(w->ChannelTable.IntgReg[0], 0x06000018u);

        recorder().shown.clear();
        answerDialogs(*w, w.dir() + "/absent.h");
        click(w->channelsPage->openButton);
        QCOMPARE(shownErrors(), QStringList{"ファイルが見つかりません."});
        QCOMPARE(row(*w, 0), kDefaultCells + QStringList{"set HH:MM"});
    }

    // "Save…" writes what "header file" writes; "Open…" in another window brings all of it back.
    void saveWritesTheExportAndOpenBringsItBackWhole() {
        WindowUnderTest w;
        setClock(*w, {localTime(2026, 12, 7, 11, 26, 2)});
        setChannel(*w, 0);
        w->ScrollBar1->setValue(5);
        setChannel(*w, 6);
        QString suggested;
        w->channelsPage->chooseFile = [&](FileDialogKind kind, const QString& suggestion) {
            suggested = kind == FileDialogKind::Save ? suggestion : QString();
            return w.dir() + "/kept.h";
        };
        click(w->channelsPage->saveButton);
        QCOMPARE(suggested, w.dir() + "/20261207_1126param.h");
        const std::string saved = vttest::readWholeFile(local(w.dir() + "/kept.h"));
        QCOMPARE(saved, headerfile::headerFileBytes(w->ChannelTable, "//2026/12/07 11:26:02"));

        WindowUnderTest other;
        setChannel(*other, 3);  // the file leaves ch3 empty: after the open it is set no more
        answerDialogs(*other, w.dir() + "/kept.h");
        recorder().answerYes = true;
        click(other->channelsPage->openButton);
        recorder().answerYes = false;
        QVERIFY(shownErrors().isEmpty());
        for (int r = 0; r < planning::ChannelTable::kChannels; ++r) {
            QStringList expected = row(*w, r);
            expected.back() =
                r == 0 || r == 6 ? "from kept.h" : "not set";  // what the file leaves empty is from nowhere
            QCOMPARE(row(*other, r), expected);
        }
        QCOMPARE(headerfile::headerChannelLines(other->ChannelTable), headerfile::headerChannelLines(w->ChannelTable));
    }

    // Open… replaces the table whole: slots set in this run that no file and no Write keep are
    // named first, and No changes nothing. Saving (Save…, "header file") or a Write keeps them,
    // and the log names the file saved.
    void openOverSlotsNotKeptAsksFirst_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("asked");  // the slots named, "" for no question
        QTest::addColumn<bool>("yes");
        QTest::newRow("two set, No") << QStringList{"set 0", "set 3"} << "ch0, ch3 were set" << false;
        QTest::newRow("one set, Yes") << QStringList{"set 5"} << "ch5 was set" << true;
        QTest::newRow("saved") << QStringList{"set 0", "save"} << "" << true;
        QTest::newRow("header file") << QStringList{"set 0", "header file"} << "" << true;
        QTest::newRow("written") << QStringList{"set 1", "written"} << "" << true;
        QTest::newRow("set after the save") << QStringList{"set 0", "save", "set 2"} << "ch2 was set" << false;
        QTest::newRow("set after the Write") << QStringList{"set 1", "written", "set 1"} << "ch1 was set" << false;
        QTest::newRow("opened, then refined")
            << QStringList{"R 3", "set 0", "save", "open", "refine 0"} << "ch0 was set or refined" << false;
    }
    void openOverSlotsNotKeptAsksFirst() {
        QFETCH(QStringList, steps);
        QFETCH(QString, asked);
        QFETCH(bool, yes);
        WindowUnderTest w;
        setClock(*w, {localTime(2026, 12, 7, 11, 26, 2)});
        const QString opened = w.dir() + "/opened.h";
        vttest::writeBytes(local(opened), headerfile::headerFileBytes(planning::ChannelTable{}, "//date"));
        answerDialogs(*w, w.dir() + "/saved.h");
        // The log names the file saved (a search clears the log: it is read at once).
        const auto logged = [&](const QString& name) {
            return w->Memo2->toPlainText().endsWith("Channel table written to " + name + ".");
        };
        for (const QString& step : steps) {
            if (step.startsWith("set ")) setChannel(*w, step.mid(4).toInt());
            if (step.startsWith("R ")) w->Edit11->setText(step.mid(2));
            if (step == "open") click(w->channelsPage->openButton);
            if (step.startsWith("refine ")) {
                w->channelsPage->table->selectRow(step.mid(7).toInt());
                click(w->channelsPage->nearestButton);
            }
            if (step == "save") {
                click(w->channelsPage->saveButton);
                QVERIFY(logged(w.dir() + "/saved.h"));
            }
            if (step == "header file") {
                click(w->Button15);
                QVERIFY(logged("20261207_1126param.h"));
            }
            if (step == "written")
                planning::markWritten(w->ChannelRecords, w->ChannelTable, w->ChannelTable, "11:30", "com1");
        }
        const planning::ChannelTable before = w->ChannelTable;
        recorder().shown.clear();
        recorder().answerYes = yes;
        answerDialogs(*w, opened);
        click(w->channelsPage->openButton);
        recorder().answerYes = false;
        const QStringList expected{asked +
                                   (asked.contains("were") ? " in this run and have not been saved or written."
                                                           : " in this run and has not been saved or written.") +
                                   " Replace the table anyway?"};
        QCOMPARE(recorder().texts(Shown::Question), asked.isEmpty() ? QStringList{} : expected);
        const bool replaced = asked.isEmpty() || yes;
        QCOMPARE(headerfile::headerChannelLines(w->ChannelTable),
                 headerfile::headerChannelLines(replaced ? planning::ChannelTable{} : before));
        QCOMPARE(w->channelsPage->table->item(0, ChannelsPage::Status)->text().startsWith("set"),
                 !replaced && steps[0] == "set 0");
    }

    // "Nearest word" on the selected slots, set with 12340/100/10/3, gives the words of
    // vtplan --nearest 12340 100 10 3 (N_INT 18, NFrac 8556380), the status and the details line;
    // a second press leaves them alone and says so; the export carries the words, and a reopened
    // export shows them as nearest words with the same error.
    void nearestWordRefinesTheSelectedSlots() {
        WindowUnderTest w;
        setClock(*w, {localTime(2026, 12, 7, 11, 26, 2)});
        w->Edit11->setText("3");
        setChannel(*w, 0);
        setChannel(*w, 4);
        QTableWidget* t = w->channelsPage->table;
        t->selectRow(0);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          t->visualRect(t->model()->index(4, 0)).center());
        click(w->channelsPage->nearestButton);
        for (const int c : {0, 4}) {
            QCOMPARE(w->ChannelTable.IntgReg[c], 0x06000024u);
            QCOMPARE(w->ChannelTable.FracReg[c], 0x09051EB8u);
            QCOMPARE(t->item(c, ChannelsPage::Status)->text(), QString("refined 11:26"));
        }
        t->setCurrentCell(0, 0);
        QVERIFY(
            w->channelsPage->details->toPlainText().contains("\nMultiplier 100, error 1225.471 Hz -> -6.358 Hz.\n"));
        QVERIFY(
            w->Memo2->toPlainText().endsWith("ch0 refined to the nearest word: error 1225.471 Hz -> -6.358 Hz.\n"
                                             "ch4 refined to the nearest word: error 1225.471 Hz -> -6.358 Hz."));
        click(w->channelsPage->nearestButton);
        QVERIFY(
            w->Memo2->toPlainText().endsWith("ch0 holds the nearest word already (error -6.358 Hz); left as it is."));
        click(w->Button15);
        const planning::ChannelTable exported =
            headerfile::parseHeader(vttest::readWholeFile(local(w.dir() + "/20261207_1126param.h")));
        QCOMPARE(headerfile::headerChannelLines(exported), headerfile::headerChannelLines(w->ChannelTable));
        QCOMPARE(exported.FracReg[4], 0x09051EB8u);
        // Reopened, the words are recognised, and give the same error.
        answerDialogs(*w, w.dir() + "/20261207_1126param.h");
        click(w->channelsPage->openButton);
        QCOMPARE(t->item(4, ChannelsPage::Status)->text(), QString("nearest word, from 20261207_1126param.h"));
        QCOMPARE(t->item(4, ChannelsPage::Error)->text(), QString("-6.358 (derived)"));
    }

    // A screen reader names each control by its caption and each column by its header.
    void controlsAndColumnsAreNamedForAScreenReader() {
        WindowUnderTest w;
        QCOMPARE(w->PageControl1->count(), 6);
        QCOMPARE(w->PageControl1->tabText(4), QString("Channels"));
        const auto name = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); };
        QCOMPARE(name(w->channelsPage->openButton), QString("Open…"));
        QCOMPARE(name(w->channelsPage->saveButton), QString("Save…"));
        QCOMPARE(name(w->channelsPage->reopenBox), QString("Reopen this table at next start"));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(w->channelsPage->table);
        QCOMPARE(table->text(QAccessible::Name), QString("Channels"));
        QAccessibleTableCellInterface* cell =
            table->tableInterface()->cellAt(2, ChannelsPage::Synthesizer)->tableCellInterface();
        // Qt hands out header cells it never registers nor frees: registered here so they can go.
        const QList<QAccessibleInterface*> column = cell->columnHeaderCells(), row = cell->rowHeaderCells();
        QCOMPARE(column.size(), 1);
        QCOMPARE(row.size(), 1);
        const QString columnName = column[0]->text(QAccessible::Name), rowName = row[0]->text(QAccessible::Name);
        const QString columnDescription = column[0]->text(QAccessible::Description);
        for (QAccessibleInterface* header : column + row)
            QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(header));
        QCOMPARE(columnName, QString("Synthesizer (Hz)"));
        QVERIFY(columnDescription.contains("2 x PD x N"));
        QCOMPARE(rowName, QString("ch2"));
    }

    // `vtconfig FILE.h`: opened between the settings load and the connect, whose "Error" follows.
    void aHeaderOnTheCommandLineOpensAtStartAndABadOneShowsTheBox() {
        const vttest::TempDir dir;
        const vttest::CurrentDirectory cwd(dir.path());
        planning::ChannelTable table;
        table.set(1, {0x04000004, 0x06000018, 0x08AE147A, 0x13407FFE, 0}, kDefaultDescription.toStdString());
        vttest::writeBytes(dir.file("plan.h"), headerfile::headerFileBytes(table, "//date"));
        const StartParse start = parseStartOptions({"plan.h"});
        QVERIFY(start.error.empty());
        TForm1 opened(start.options);
        QCOMPARE(row(opened, 1), kDefaultCells + QStringList{"from plan.h"});

        recorder().shown.clear();
        TForm1 failed(StartOptions{"absent.h"});
        QCOMPARE(recorder().shown.front().kind, Shown::Error);
        QCOMPARE(recorder().shown.front().text, QString("ファイルが見つかりません."));
        QCOMPARE(recorder().shown.back().text, QString("Error"));  // the start-up connect comes after
        QCOMPARE(row(failed, 1), kEmptyCells + QStringList{"not set"});
        QVERIFY(!parseStartOptions({"a.h", "b.h"}).error.empty());
        QVERIFY(parseStartOptions({"--help"}).options.help);
    }

    // Ticked, the table comes back at the next start; unticked it does not, and the settings
    // file of somebody who never ticked the box has no key of ours.
    void aTickedTableComesBackAtTheNextStartAndAnUntickedOneDoesNot() {
        const vttest::TempDir dir;
        const vttest::CurrentDirectory cwd(dir.path());
        const std::string state = stateHome_.file("round-trip/state");  // made at the first keep
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        const std::string kept = state + "/vtconfig/last-channels.h";
        recorder().shown.clear();
        {
            TForm1 never;
            setChannel(never, 2);
            QVERIFY(never.FormClose());
        }
        QVERIFY(vttest::readWholeFile(dir.file("VTCONFIG.INI")).find("vtconfig") == std::string::npos);
        QVERIFY(::access(kept.c_str(), F_OK) != 0);
        {
            TForm1 ticked;
            ticked.channelsPage->reopenBox->click();
            setChannel(ticked, 2);
            QVERIFY(ticked.FormClose());
        }
        QVERIFY(vttest::readWholeFile(dir.file("VTCONFIG.INI")).ends_with("\r\n[vtconfig]\r\nReopenTable=1\r\n"));
        struct stat st {};
        QCOMPARE(::stat((state + "/vtconfig").c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        {
            TForm1 reopened;
            QVERIFY(reopened.channelsPage->reopenBox->isChecked());
            QCOMPARE(row(reopened, 2), kDefaultCells + QStringList{"from last-channels.h"});
            reopened.channelsPage->reopenBox->click();
            QVERIFY(reopened.FormClose());
        }
        TForm1 discarded;
        QCOMPARE(row(discarded, 2), kEmptyCells + QStringList{"not set"});
        QVERIFY(shownErrors().isEmpty());
        ::setenv("XDG_STATE_HOME", stateHome_.path().c_str(), 1);
    }

    // A kept table this start did not open (a typo on the command line, a bad line) is the
    // operator's only copy: the close asks, and No leaves it byte for byte; one it opened is
    // replaced without a question.
    void aKeptTableThatFailedToOpenIsReplacedOnlyWhenTheOperatorSaysSo() {
        const vttest::TempDir dir;
        const vttest::CurrentDirectory cwd(dir.path());
        const std::string state = stateHome_.file("failed-open");
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        const std::string kept = state + "/vtconfig/last-channels.h";
        {
            TForm1 keeper;
            keeper.channelsPage->reopenBox->click();
            for (int c = 0; c < planning::ChannelTable::kChannels; ++c) setChannel(keeper, c);
            QVERIFY(keeper.FormClose());
        }
        const std::string good = vttest::readWholeFile(kept);
        std::string oneBadLine = good;
        oneBadLine.replace(oneBadLine.find("0x08AE147A"), 10, "0x08AE147");  // line 5, ch0's FracReg
        const QString kQuestion = "Replace the kept channel table with the table now in the window?";
        for (const auto& [start, bytes, shown] :
             {std::tuple{StartOptions{"nosuch.h"}, good, QString("ファイルが見つかりません.")},
              std::tuple{StartOptions{}, oneBadLine, QString("line 5: expected `  0x…,    //FracReg`.")}}) {
            vttest::writeBytes(kept, bytes);
            recorder().shown.clear();
            TForm1 w(start);
            QCOMPARE(shownErrors().value(0), shown);
            QCOMPARE(row(w, 1), kEmptyCells + QStringList{"not set"});
            recorder().answerYes = false;
            QVERIFY(w.FormClose());
            QCOMPARE(recorder().texts(Shown::Question), QStringList{kQuestion});
            QCOMPARE(vttest::readWholeFile(kept), bytes);
            recorder().answerYes = true;
            QVERIFY(w.FormClose());
            recorder().answerYes = false;
            QCOMPARE(headerfile::headerChannelLines(headerfile::parseHeader(vttest::readWholeFile(kept))),
                     headerfile::headerChannelLines(planning::ChannelTable{}));
        }
        vttest::writeBytes(kept, good);
        recorder().shown.clear();
        {
            TForm1 opened;
            QCOMPARE(row(opened, 7), kDefaultCells + QStringList{"from last-channels.h"});
            opened.RadioGroup2->setItemIndex(7);
            opened.Edit1->setText("12000");
            click(opened.Button4);
            click(opened.Button14);
            QVERIFY(opened.FormClose());
            QVERIFY(opened.FormClose());  // what it wrote itself it replaces again
        }
        QVERIFY(recorder().texts(Shown::Question).isEmpty());
        QVERIFY(vttest::readWholeFile(kept).find("//7  12000MHz") != std::string::npos);
        {
            TForm1 again;  // opens it; another run then writes it before this one closes
            vttest::writeBytes(kept, good);
            QVERIFY(again.FormClose());
            QCOMPARE(recorder().texts(Shown::Question), QStringList{kQuestion});
            QCOMPARE(vttest::readWholeFile(kept), good);
        }
        ::setenv("XDG_STATE_HOME", stateHome_.path().c_str(), 1);
    }

    // A state folder that somebody else owns or may write to (a shared sticky folder where
    // another user made vtconfig/ first) could hand the window anybody's table: nothing is
    // opened from it nor written to it, and the log says so; neither is a state folder at the
    // root when neither XDG_STATE_HOME nor HOME is set. No box, no question: the close goes on.
    void aStateFolderNotPrivateToTheUserOrNoneAtAllKeepsNoTable() {
        const vttest::TempDir dir;
        const vttest::CurrentDirectory cwd(dir.path());
        const std::string shared = stateHome_.file("shared"), planted = shared + "/vtconfig/last-channels.h";
        QCOMPARE(::mkdir(shared.c_str(), 01777), 0);
        QCOMPARE(::mkdir((shared + "/vtconfig").c_str(), 0700), 0);
        planning::ChannelTable theirs;
        theirs.set(4, {0x04000004, 0x06000018, 0x08AE147A, 0x13407FFE, 0}, "somebody else's");
        vttest::writeBytes(planted, headerfile::headerFileBytes(theirs, "//date"));
        vttest::writeBytes(dir.file("VTCONFIG.INI"), "[vtconfig]\r\nReopenTable=1\r\n");
        ::setenv("XDG_STATE_HOME", shared.c_str(), 1);
        const QString notPrivate =
            QString::fromStdString(shared) + "/vtconfig is not a folder of yours that only you may write to.";
        const auto check = [&] {
            recorder().shown.clear();
            {  // told at the start too, kept file or none: the close's line goes with the window
                ::rename(planted.c_str(), (planted + ".away").c_str());
                const TForm1 w;
                QVERIFY(w.Memo2->toPlainText().contains("The channel table is not kept: " + notPrivate));
                ::rename((planted + ".away").c_str(), planted.c_str());
            }
            TForm1 w;
            QCOMPARE(row(w, 4), kEmptyCells + QStringList{"not set"});
            QVERIFY(w.Memo2->toPlainText().contains("The kept channel table is not opened: " + notPrivate));
            setChannel(w, 2);
            QVERIFY(w.FormClose());
            QVERIFY(w.Memo2->toPlainText().endsWith("The channel table is not kept: " + notPrivate));
            QVERIFY(shownErrors().isEmpty() && recorder().texts(Shown::Question).isEmpty());
            QCOMPARE(vttest::readWholeFile(planted), headerfile::headerFileBytes(theirs, "//date"));
        };
        for (const mode_t mode : {0775, 0757}) {  // a group, or anybody, may write to it
            QCOMPARE(::chmod((shared + "/vtconfig").c_str(), mode), 0);
            check();
        }
        if (::geteuid() == 0) {  // another owner: only root can give the folder away
            QCOMPARE(::chmod((shared + "/vtconfig").c_str(), 0755), 0);
            QCOMPARE(::chown((shared + "/vtconfig").c_str(), 65534, 65534), 0);
            check();
        }

        const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::unsetenv("XDG_STATE_HOME");
        ::unsetenv("HOME");
        recorder().shown.clear();
        {
            TForm1 w;
            const QString noPlace =
                "The channel table is not kept: neither XDG_STATE_HOME nor HOME names a folder for it.";
            QVERIFY(w.Memo2->toPlainText().contains(noPlace));
            QVERIFY(w.FormClose());
            QVERIFY(w.Memo2->toPlainText().endsWith(noPlace));
            QVERIFY(shownErrors().isEmpty() && recorder().texts(Shown::Question).isEmpty());
        }
        if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_STATE_HOME", stateHome_.path().c_str(), 1);
    }

    // A table that cannot be kept is not lost without a word: the close asks first.
    void aTableThatCannotBeKeptAsksBeforeClosing() {
        WindowUnderTest w;
        const std::string notAFolder = stateHome_.file("plain-file");
        vttest::writeBytes(notAFolder, "x");
        ::setenv("XDG_STATE_HOME", notAFolder.c_str(), 1);
        w->channelsPage->reopenBox->click();
        recorder().answerYes = false;
        QVERIFY(!w->FormClose());
        QCOMPARE(recorder().texts(Shown::Question),
                 QStringList{"Close without keeping the channel table for the next start?"});
        QCOMPARE(shownErrors(), QStringList{QString("I/O エラー (20): ") + std::strerror(ENOTDIR) + "."});
        recorder().answerYes = true;
        QVERIFY(w->FormClose());
        recorder().answerYes = false;
        ::setenv("XDG_STATE_HOME", stateHome_.path().c_str(), 1);
    }
};

VT_UI_TEST_MAIN(ChannelsPageTest)
#include "channels_page_test.moc"
