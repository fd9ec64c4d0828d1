// The window's settings: what the operator chose survives closing and starting again, and a
// close whose save fails keeps the window open and the file on disk as it was, unless the
// operator chooses to close without saving.
#include <sys/stat.h>
#include <unistd.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "tests/ui/ui_test_support.h"
#include "ui/click_label.h"
#include "ui/radio_group.h"
#include "ui/setting_controls.h"

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write the settings file");
}

QStringList questionsAsked() { return recorder().texts(Shown::Question); }

// A private current directory; windows made while it lives share it.
struct InDirectory : vttest::TempDir {
    vttest::CurrentDirectory cwd{path()};
    QString ini() const { return QString::fromStdString(file("VTCONFIG.INI")); }
};

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { recorder().shown.clear(); }

    void choicesSurviveARestart() {
        InDirectory dir;
        {
            TForm1 form;
            QVERIFY(!QFile::exists(dir.ini()));  // nothing is written before the close
            form.ComboBox1->setCurrentIndex(3);
            form.ComboBox2->setCurrentIndex(1);
            form.RadioGroup2->setItemIndex(5);
            form.Edit1->setText("9876.5");
            form.Edit2->setText("64");
            form.Edit3->setText("100");
            form.Edit11->setText("4");
            form.ScrollBar1->setValue(12);
            form.ScrollBar2->setValue(34);
            form.ScrollBar3->setValue(56);
            form.RadioGroup4->setItemIndex(0);
            form.RadioGroup5->setItemIndex(2);
            form.RadioGroup6->setItemIndex(0);
            form.RadioGroup7->setItemIndex(1);
            QVERIFY(form.close());
        }
        QVERIFY(fileBytes(dir.ini()).contains("[Vantorix]\r\nVersion=0\r\n"));
        TForm1 again;
        QCOMPARE(again.ComboBox1->currentText(), QString("com4"));
        QCOMPARE(again.ComboBox2->currentText(), QString("115200"));
        QCOMPARE(again.RadioGroup2->ItemIndex(), 5);
        QCOMPARE(again.Edit1->text(), QString("9876.5"));
        QCOMPARE(again.Edit2->text(), QString("64"));
        QCOMPARE(again.Edit3->text(), QString("100"));
        QCOMPARE(again.Edit11->text(), QString("4"));
        QCOMPARE(again.ScrollBar1->value(), 12);
        QCOMPARE(again.ScrollBar2->value(), 34);
        QCOMPARE(again.ScrollBar3->value(), 56);
        QCOMPARE(again.RadioGroup4->ItemIndex(), 0);
        QCOMPARE(again.RadioGroup5->ItemIndex(), 2);
        QCOMPARE(again.RadioGroup6->ItemIndex(), 0);
        QCOMPARE(again.RadioGroup7->ItemIndex(), 1);
        // The reset after the load shows the loaded positions as currents.
        QCOMPARE(again.Label26->text(), QString("240uA"));
        QCOMPARE(again.Label33->text(), QString("280uA"));
        QVERIFY(shownErrors().isEmpty());
    }

    void damagedValuesLoadWithinTheControls() {
        InDirectory dir;
        {
            QFile f(dir.ini());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(
                "[rs232c1]\r\nportname=12\r\nBAUD=x1\r\n[Memory]\r\nChannel=-1\r\n[PD]\r\nUpGain=0x20\r\n"
                "DnGain=abc\r\nOffset=-5\r\n[SD]\r\nseed=9\r\n");
        }
        TForm1 form;
        QCOMPARE(form.ComboBox1->currentIndex(), -1);
        QCOMPARE(form.ComboBox2->currentText(), QString("115200"));
        QCOMPARE(form.RadioGroup2->ItemIndex(), -1);
        QCOMPARE(form.ScrollBar1->value(), 32);
        QCOMPARE(form.ScrollBar2->value(), 127);
        QCOMPARE(form.ScrollBar3->value(), 0);
        QCOMPARE(form.RadioGroup4->ItemIndex(), 3);
    }

    // Texts the operator left go back as they were read, even where they are no code page 932.
    void untouchedTextsGoBackByteForByte() {
        InDirectory dir;
        const QByteArray kept =
            "[Frequency]\r\nLocalOutput=" + QString("１２３４０").toUtf8() + "\r\nMultiplier=\x80\xa0\xfd\x81 x\r\n";
        writeFile(dir.ini(), kept);
        {
            TForm1 form;
            form.ScrollBar1->setValue(5);
            QVERIFY(form.close());
        }
        const QByteArray after = fileBytes(dir.ini());
        QVERIFY2(after.startsWith(kept), after.constData());
        QVERIFY(after.contains("\r\nUpGain=5\r\n"));
    }

    // A save that can never succeed must not trap the operator: after the error he may close anyway.
    void aSaveThatCannotSucceedStillLetsTheWindowClose() {
        InDirectory dir;
        QVERIFY(QDir().mkdir(dir.ini()));  // no file can ever be written there
        TForm1 form;
        form.show();
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(shownErrors(), QStringList{dir.ini() + " に書き込めません."});
        QCOMPARE(questionsAsked(), QStringList{"設定を保存せずに終了しますか?"});

        recorder().shown.clear();
        recorder().answerYes = true;
        const bool closed = form.close();
        recorder().answerYes = false;
        QVERIFY(closed);
        QCOMPARE(shownErrors(), QStringList{dir.ini() + " に書き込めません."});
        QCOMPARE(questionsAsked().size(), 1);
        QVERIFY(QFileInfo(dir.ini()).isDir());
    }

    void failedSaveKeepsTheWindowAndTheFile() {
        InDirectory dir;
        {
            QFile f(dir.ini());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Frequency]\r\nLocalOutput=555\r\n");
        }
        const QByteArray before = fileBytes(dir.ini());
        QVERIFY(::chmod(QFile::encodeName(dir.ini()).constData(), 0444) == 0);
        TForm1 form;
        form.show();
        form.Edit1->setText("777");
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(shownErrors(), QStringList{dir.ini() + " に書き込めません."});
        QCOMPARE(fileBytes(dir.ini()), before);
        // Once the file can be written again the close goes through.
        QVERIFY(::chmod(QFile::encodeName(dir.ini()).constData(), 0644) == 0);
        QVERIFY(form.close());
        QVERIFY(fileBytes(dir.ini()).contains("LocalOutput=777\r\n"));
    }

    // A slip in the key table (a misspelt control, a control of another kind) is named, and only
    // that key is left out: it keeps the value it had, the others still reach their controls.
    void aKeyWithoutItsControlIsReportedAndLeftOut() {
        InDirectory dir;
        TForm1 form;
        QVERIFY(shownErrors().isEmpty());
        std::vector<KeyControl> keys = keyControls(settings::settingKeys());
        QVERIFY(SettingControls(form, keys).problems().isEmpty());
        for (KeyControl& k : keys) {
            if (k.key->key == "LocalOutput") k.control = "Edit1x";
            if (k.key->key == "portname") k.control = "Edit2";  // a line edit, not a combo box
        }
        const SettingControls controls(form, keys);
        QCOMPARE(controls.problems(),
                 QStringList({"settings key [Frequency] LocalOutput: the window has no line edit named \"Edit1x\"; "
                              "the key is neither loaded nor saved",
                              "settings key [rs232c1] portname: the window has no combo box named \"Edit2\"; the key "
                              "is neither loaded nor saved"}));
        settings::SettingsValues v;
        v.localOutput = "kept";
        v.portIndex = 5;
        form.Edit2->setText("64");
        controls.save(v);
        QCOMPARE(v.localOutput, std::string("kept"));
        QCOMPARE(v.portIndex, 5);
        QCOMPARE(v.multiplier, std::string("64"));
    }
};

VT_UI_TEST_MAIN(SettingsTest)
#include "settings_test.moc"
