// The real window (offscreen) talking to the simulated unit through its controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>

#include "device/device_link.h"
#include "headerfile/header_text.h"
#include "testkit/port_holder.h"
#include "testkit/qt/gtest_main.h"
#include "testkit/qt/recording_notifier.h"
#include "tests/device/example_words.h"
#include "tests/device/recorders.h"
#include "tests/device/unit_on_com1.h"
#include "ui/Unit1.h"
#include "ui/channels_page.h"
#include "ui/radio_group.h"
#include "ui/start_options.h"

using namespace std::chrono_literals;

namespace {

struct Window : vttest::UnitOnCom1 {
    vttest::CurrentDirectory cwd{dir.path()};  // VTCONFIG.INI goes here
    vttest::RecordingNotifier notes;
    std::unique_ptr<TForm1> form;

    void openWindow() {
        form = std::make_unique<TForm1>();
        form->show();
    }
};

using Bytes = std::vector<std::string>;

}  // namespace

TEST_F(Window, StartsConnectedAndDrivesTheUnitFromItsButtons) {
    startUnit({});
    openWindow();
    EXPECT_FALSE(form->Button1->isEnabled());
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_TRUE(notes.messages.isEmpty());
    form->Button10->click();
    ASSERT_TRUE(unitGot(2));
    form->Button20->click();
    ASSERT_TRUE(unitGot(4));
    // The answer to the CR must land before "D", or it would be taken for the answer to "D".
    ASSERT_TRUE(vttest::pumpUntil([&] { return form->Link.fields.RxCount == 4; }));
    form->Button11->click();
    ASSERT_TRUE(unitGot(6));
    vttest::pumpFor(100);
    EXPECT_EQ(received(), (Bytes{"49", "0D", "35", "0D", "44", "0D"}));
    // The dump: 06, 128 zero bytes of memory, channel 05, then 06 for the CR.
    ASSERT_TRUE(vttest::pumpUntil([&] { return form->Link.fields.RxCount == 131; }));
    form->Button13->click();
    const QStringList rows = form->Memo3->toPlainText().split('\n');
    ASSERT_GE(rows.size(), 17);
    EXPECT_EQ(rows[0], QString("00 ").repeated(16));
    EXPECT_TRUE(rows[8].startsWith("05 06 "));
    EXPECT_TRUE(form->Memo2->toPlainText().startsWith("Welcome to Vantorix Configurator.\n06 "));
}

TEST_F(Window, WriteAfterSetPutsTheImageIntoTheUnit) {
    startUnit({});
    openWindow();
    form->Button4->click();   // search with the defaults
    form->Button14->click();  // set ch0
    notes.answerYes = true;
    form->Button6->click();
    EXPECT_EQ(notes.texts(vttest::Shown::Question),
              QStringList{"ch1, ch2, ch3, ch4, ch5, ch6, ch7 have not been set and will be written as zero. "
                          "Write anyway?"});
    ASSERT_TRUE(unitGot(130));
    EXPECT_EQ(form->Link.fields.RxCount, 130);
    ASSERT_TRUE(vttest::UnitProcess::waitForPath(dir.file("memory")));
    const std::string memory = vttest::readWholeFile(dir.file("memory"));
    EXPECT_EQ(memory.substr(0, 16),
              std::string("\x18\x00\x00\x06\x04\x00\x00\x04\xFE\x7F\x40\x13\x7A\x14\xAE\x08", 16));
    EXPECT_EQ(memory.substr(16), std::string(112, '\0'));
}

// The Channels page says what the unit holds: "written" only after a Write of which every byte
// got its reply, until the next "set"; a Write cut short marks nothing.
TEST_F(Window, TheChannelsPageSaysWhichSlotsTheUnitHolds) {
    startUnit({"--stop-after", "200"});  // the second Write is cut short
    openWindow();
    form->HeaderClock.now = [] {
        std::tm t{};
        t.tm_hour = 11;
        t.tm_min = 26;
        return t;
    };
    const auto status = [&](int c) { return form->channelsPage->table->item(c, ChannelsPage::Status)->text(); };
    form->Button4->click();
    form->Button14->click();  // ch0
    EXPECT_EQ(status(0), "set 11:26");
    notes.answerYes = true;
    form->Link.setReplyLimit(300ms);
    form->Button6->click();
    ASSERT_TRUE(unitGot(130));
    EXPECT_EQ(status(0), "written 11:26 (com1)");
    EXPECT_EQ(status(1), "not set");
    form->Button14->click();
    EXPECT_EQ(status(0), "changed since written");
    const QString details = form->channelsPage->details->toPlainText();
    EXPECT_TRUE(details.endsWith("; written 11:26 (com1); changed since written.")) << details.toStdString();
    form->Button6->click();
    EXPECT_TRUE(form->Memo2->toPlainText().endsWith(device::kNoReplyLine));
    EXPECT_EQ(status(0), "changed since written");
    form->Edit1->setText("12345");  // the search's words, described with other settings
    form->Button14->click();
    EXPECT_EQ(status(0), "stale");
}

// A channel never filled would go to the unit as zero words over whatever it holds: "Write"
// asks first, and No sends nothing at all; with every channel filled it asks nothing.
TEST_F(Window, WriteAsksBeforeZeroingChannelsNeverSetAndNoSendsNothing) {
    startUnit({});
    openWindow();
    form->Button4->click();
    for (int c = 0; c < 7; ++c) {
        form->RadioGroup2->setItemIndex(c);
        form->Button14->click();
    }
    form->Button6->click();
    EXPECT_EQ(notes.texts(vttest::Shown::Question),
              QStringList{"ch7 has not been set and will be written as zero. Write anyway?"});
    form->Button10->click();  // "I": the unit's log now shows whether anything went before it
    ASSERT_TRUE(unitGot(2));
    EXPECT_EQ(received(), (Bytes{"49", "0D"}));

    notes.shown.clear();
    form->RadioGroup2->setItemIndex(7);
    form->Button14->click();
    form->Button6->click();
    EXPECT_TRUE(notes.shown.empty());
    ASSERT_TRUE(unitGot(132));
    EXPECT_EQ(received()[2], "57");
}

// `vtconfig FILE.h`, then "Write": the unit receives the file's channels byte for byte, laid out
// as the image lays out a table ("set" never pressed).
TEST_F(Window, AHeaderFromTheCommandLineIsWhatWriteSends) {
    planning::ChannelTable table;
    table.set(0, vttest::kExampleWords, "first");
    table.set(5, {0x04000002, 0x0600000A, 0x09000000, 0x13407FFE, 0}, "sixth");
    table.set(7, {0xFFFFFFFE, 0x00000002, 0x12345678, 0x9ABCDEF0, 0}, "words of any kind");
    vttest::writeBytes(dir.file("plan.h"), headerfile::headerFileBytes(table, "//date"));
    std::string image;
    for (int c = 0; c < planning::ChannelTable::kChannels; ++c) {
        const auto i = static_cast<size_t>(c);
        for (uint32_t word : {table.IntgReg[i], table.RefReg[i], table.CPReg[i], table.FracReg[i]})
            for (int b = 0; b < 4; ++b) image += static_cast<char>(word >> (8 * b));
    }
    startUnit({});
    form = std::make_unique<TForm1>(parseStartOptions({dir.file("plan.h")}).options);
    form->show();
    notes.answerYes = true;
    form->Button6->click();
    // What the file leaves empty counts as never set.
    EXPECT_EQ(notes.texts(vttest::Shown::Question),
              QStringList{"ch1, ch2, ch3, ch4, ch6 have not been set and will be written as zero. Write anyway?"});
    ASSERT_TRUE(unitGot(130));
    ASSERT_TRUE(vttest::UnitProcess::waitForPath(dir.file("memory")));
    EXPECT_EQ(vttest::readWholeFile(dir.file("memory")), image);
    Bytes expected{"57", "0D"};
    for (char b : image) expected.push_back(QString::asprintf("%02X", static_cast<unsigned char>(b)).toStdString());
    EXPECT_EQ(received(), expected);
}

TEST_F(Window, ClosingDuringAWaitUnwindsAndCloses) {
    startUnit({"--silent"});
    openWindow();
    form->Link.setReplyLimit(vttest::kUnreachedReplyLimit);
    bool closedInside = false;
    QTimer::singleShot(100, form.get(), [&] { closedInside = form->close(); });
    form->Button10->click();     // waits for a reply that never comes
    EXPECT_FALSE(closedInside);  // put off while the command waited
    EXPECT_TRUE(form->Memo2->toPlainText().endsWith("No reply from the unit"));
    ASSERT_TRUE(vttest::pumpUntil([&] { return !form->isVisible(); }, 2000));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.file("VTCONFIG.INI"))));
}

TEST_F(Window, ASecondProgramHoldingThePortMakesOpenShowError) {
    startUnit({});
    vttest::PortHolder holder(alias);
    ASSERT_TRUE(holder.held());
    openWindow();
    EXPECT_EQ(notes.messages, QStringList{"Error"});
    EXPECT_EQ(notes.beeps, std::vector<unsigned>{64});
    // After the box, the status log says why, naming the holder.
    const QString why = form->Memo2->toPlainText().section('\n', -1);
    EXPECT_TRUE(why.startsWith("Cannot open com1 (/dev/pts/")) << why.toStdString();
    EXPECT_TRUE(why.contains(QString(": in use by process %1 (").arg(holder.pid()))) << why.toStdString();
    EXPECT_TRUE(form->Button1->isEnabled());
    EXPECT_FALSE(form->Button2->isEnabled());
    holder.letGo();
    notes.messages.clear();
    form->Button1->click();
    EXPECT_TRUE(notes.messages.isEmpty());
    EXPECT_FALSE(form->Button1->isEnabled());
}

// The bytes run on in one line, so a command's answer is never broken; only a flood makes a
// line of 64 KiB, and the next line starts there, between two bytes.
TEST_F(Window, ReceivedBytesRunOnInOneLineUpTo64KiB) {
    startUnit({"--flood", "30000"});
    openWindow();
    form->Button10->click();  // "I": the unit answers, floods, and answers the CR
    const qsizetype bytes = 30002;
    const QString welcome = "Welcome to Vantorix Configurator.";
    auto logged = [&] {
        const QString text = form->Memo2->toPlainText();
        return text.size() - text.count('\n') - welcome.size();
    };
    ASSERT_TRUE(vttest::pumpUntil([&] { return logged() >= 3 * bytes; }));
    const QStringList lines = form->Memo2->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], welcome);
    EXPECT_EQ(lines[1].size(), 3 * 21846);
    EXPECT_EQ(lines[1].size() + lines[2].size(), 3 * bytes);
    EXPECT_TRUE(lines[1].endsWith(' '));
    EXPECT_EQ(lines[2].size() % 3, 0);
}

// Only the selected items count: text typed into the boxes gives way, on "Open", to the port
// and rate that are opened.
TEST_F(Window, OpenShowsThePortItOpensNotTheTypedName) {
    startUnit({});
    openWindow();
    form->Button2->click();
    form->ComboBox1->setEditText("com7");
    form->ComboBox2->setEditText("4800");
    form->Button1->click();
    EXPECT_TRUE(notes.messages.isEmpty());  // com1, the selected item, opened again
    EXPECT_FALSE(form->Button1->isEnabled());
    EXPECT_EQ(form->ComboBox1->currentText(), QString("com1"));
    EXPECT_EQ(form->ComboBox2->currentText(), QString("9600"));
}

int main(int argc, char** argv) { return vttest::runGoogleTests<QApplication>(argc, argv); }
