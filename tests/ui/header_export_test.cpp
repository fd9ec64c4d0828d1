// "set" and "header file": the channel table filled through the window and exported into the
// current directory, byte for byte, and exports that fail (full disk, no write permission).
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cerrno>

#include "channels/slot_status.h"
#include "files/file_read.h"
#include "headerfile/header_text.h"
#include "tests/ui/ui_test_support.h"
#include "ui/radio_group.h"

namespace {

const std::string kDefaultDescription =
    "12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, "
    "Mode=ModeA, frac_rstb=Enable, frac_bypass=Use";

std::string readAll(const QString& path) {
    std::string bytes;
    const int err = files::readFile(QFile::encodeName(path).toStdString(), bytes);
    if (err != 0) return "<errno " + std::to_string(err) + ">";
    return bytes;
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

// Ctrl+A, Ctrl+V in the edit with text on the clipboard.
void paste(QLineEdit* e, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    e->setFocus();
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
}

mode_t typeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// The file after the default search was stored into ch0, the other channels untouched.
std::string expectedDefaultExport(const std::string& dateLine) {
    std::string s = dateLine + "\r\n";
    s += "//0  " + kDefaultDescription + "\r\n";
    s += "  0x04000004,    //RefReg\r\n";
    s += "  0x06000018,    //IntgReg\r\n";
    s += "  0x08AE147A,    //FracReg\r\n";
    s += "  0x13407FFE,    //CPReg\r\n";
    for (int n = 1; n < 8; ++n) {
        s += "//" + std::to_string(n) + "  \r\n";
        s += "  0x00000000,    //RefReg\r\n";
        s += "  0x00000000,    //IntgReg\r\n";
        s += "  0x00000000,    //FracReg\r\n";
        s += "  0x00000000,    //CPReg\r\n";
    }
    return s;
}

// A tiny tmpfs mounted for one test; unmounted (lazily) when it goes.
class TinyTmpfs {
public:
    explicit TinyTmpfs(const QString& dir) : path(QFile::encodeName(dir).toStdString()) {
        // In a mount namespace of this process's own, when it may have one, the mount goes
        // away with the process even if the test dies half-way.
        if (::unshare(CLONE_NEWNS) == 0) ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        mounted = ::mount("vtui-test", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0777") == 0;
    }
    ~TinyTmpfs() {
        if (mounted) ::umount2(path.c_str(), MNT_DETACH);
    }
    bool ok() const { return mounted; }

    // Fills every free block with one file.
    bool fill() {
        const int fd = ::open((path + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const std::string block(4096, 'x');
        for (;;) {
            const ssize_t n = ::write(fd, block.data(), block.size());
            if (n < 0 && errno == ENOSPC) break;
            if (n < 0 && errno != EINTR) {
                ::close(fd);
                return false;
            }
        }
        ::close(fd);
        return true;
    }

private:
    std::string path;
    bool mounted = false;
};

}  // namespace

class HeaderExportTest : public QObject {
    Q_OBJECT
private slots:
    void fileNameFromTheClock() {
        QCOMPARE(headerfile::headerFileName(localTime(2011, 5, 3, 21, 5, 7)), std::string("20110503_2105param.h"));
        QCOMPARE(headerfile::headerFileName(localTime(2026, 12, 31, 0, 0, 0)), std::string("20261231_0000param.h"));
    }

    void dateLineLeavesMidnightOut() {
        QCOMPARE(headerfile::headerDateLine(localTime(2011, 5, 3, 21, 5, 7), "%Y/%m/%d", "%H:%M:%S"),
                 std::string("//2011/05/03 21:05:07"));
        QCOMPARE(headerfile::headerDateLine(localTime(2011, 5, 3, 0, 0, 0), "%Y/%m/%d", "%H:%M:%S"),
                 std::string("//2011/05/03"));
        QCOMPARE(headerfile::headerDateLine(localTime(2011, 5, 3, 0, 0, 1), "%Y/%m/%d", "%H:%M:%S"),
                 std::string("//2011/05/03 00:00:01"));
    }

    void setStoresWordsAndDescription() {
        WindowUnderTest w;
        click(w->Button4);
        click(w->Button14);
        const auto& t = w->ChannelTable;
        QCOMPARE(t.RefReg[0], 0x04000004u);
        QCOMPARE(t.CPReg[0], 0x13407FFEu);
        QCOMPARE(t.IntgReg[0], 0x06000018u);
        QCOMPARE(t.FracReg[0], 0x08AE147Au);
        QCOMPARE(t.SDReg[0], 0x0C0016FCu);
        QCOMPARE(t.ChannelDescription[0], kDefaultDescription);
        QVERIFY(recorder().shown.empty());
        QCOMPARE(w->Memo2->toPlainText(), QString());
    }

    void setBeforeAnySearchStoresZeroWordsAndBlankPd() {
        WindowUnderTest w;
        w->RadioGroup2->setItemIndex(5);
        click(w->Button14);
        QCOMPARE(w->ChannelTable.RefReg[5], 0u);
        QCOMPARE(w->ChannelTable.SDReg[5], 0u);
        QVERIFY(w->ChannelTable.ChannelDescription[5].find("PD=  Hz, UpGain=") != std::string::npos);
    }

    void setTakesOldWordsWithNewDescription() {
        WindowUnderTest w;
        click(w->Button4);
        QTest::keyClick(w->Edit1, Qt::Key_9);  // blanks the displays
        w->RadioGroup3->setItemIndex(1);
        w->ScrollBar3->setValue(10);
        w->RadioGroup2->setItemIndex(7);
        click(w->Button14);
        const auto& t = w->ChannelTable;
        QCOMPARE(t.IntgReg[7], 0x06000018u);
        QCOMPARE(t.CPReg[7], 0x13407FFEu);
        const std::string& d = t.ChannelDescription[7];
        QVERIFY2(d.rfind("123409MHz, std=10MHz, PD=  Hz,", 0) == 0, d.c_str());
        QVERIFY2(d.find(", Offset=-10, ") != std::string::npos, d.c_str());
        QCOMPARE(t.ChannelDescription[0], std::string());
    }

    void setTwiceKeepsTheSecondOnly() {
        WindowUnderTest w;
        click(w->Button4);
        click(w->Button14);
        w->Edit2->setText("50");
        click(w->Button4);
        click(w->Button14);
        QCOMPARE(w->ChannelTable.IntgReg[0], 0x06000030u);  // N_INT 24
        QVERIFY(w->ChannelTable.ChannelDescription[0].find("PD=5000000Hz") != std::string::npos);
        QCOMPARE(w->ChannelTable.IntgReg[1], 0u);
    }

    // A description no header could hold is refused before the slot changes: the limit counts
    // the bytes of code page 932 the file holds (two for あ, not UTF-8's three).
    void setRefusesADescriptionNoHeaderCouldHold() {
        WindowUnderTest w;
        click(w->Button4);
        w->RadioGroup2->setItemIndex(3);
        click(w->Button14);
        const planning::ChannelTable before = w->ChannelTable;
        const std::string statusBefore = channels::slotStatus(w->ChannelRecords[3]);
        w->Edit1->setText(QString(443, QChar(0x3042)));  // the description: 140 + 2 x 443 bytes
        click(w->Button14);
        QCOMPARE(shownErrors(), QStringList{"ch3 is not set: the description is 1026 bytes long, more than the 1024 a "
                                            "header holds; LocalOutput and STD are quoted in it as typed."});
        QCOMPARE(w->ChannelTable.ChannelDescription[3], before.ChannelDescription[3]);
        QCOMPARE(channels::slotStatus(w->ChannelRecords[3]), statusBefore);
        recorder().shown.clear();
        w->Edit1->setText(QString(442, QChar(0x3042)));
        click(w->Button14);
        QCOMPARE(shownErrors(), QStringList());
        QCOMPARE(w->ChannelTable.ChannelDescription[3].size(), planning::kMaxDescriptionBytes);
        click(w->Button15);  // and it goes into a header that reads back
        QCOMPARE(shownErrors(), QStringList());
    }

    // Reachable only through a damaged settings file: nothing is written anywhere.
    void setWithoutChannelDoesNothing() {
        WindowUnderTest w;
        click(w->Button4);
        w->RadioGroup2->setItemIndex(-1);
        const planning::ChannelTable before = w->ChannelTable;
        click(w->Button14);
        for (int i = 0; i < planning::ChannelTable::kSlots; ++i) {
            QCOMPARE(w->ChannelTable.RefReg[size_t(i)], before.RefReg[size_t(i)]);
            QCOMPARE(w->ChannelTable.ChannelDescription[size_t(i)], before.ChannelDescription[size_t(i)]);
        }
        QVERIFY(recorder().shown.empty());
    }

    void exportIsByteExact() {
        WindowUnderTest w;
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 7)});
        click(w->Button4);
        click(w->Button14);
        click(w->Button15);
        QVERIFY(shownErrors().isEmpty());
        QCOMPARE(entries(w.dir()), QStringList{"20110503_2105param.h"});
        const std::string bytes = readAll(w.dir() + "/20110503_2105param.h");
        QCOMPARE(bytes, expectedDefaultExport("//2011/05/03 21:05:07"));
        size_t lines = 0;
        for (size_t i = 0; i + 1 < bytes.size(); ++i) lines += bytes.compare(i, 2, "\r\n") == 0;
        QCOMPARE(lines, size_t(41));
        QCOMPARE(bytes.substr(bytes.size() - 2), std::string("\r\n"));
    }

    void exportRightAfterStartHoldsZeros() {
        WindowUnderTest w;
        setClock(*w, {localTime(2011, 5, 3, 0, 0, 0)});
        click(w->Button15);
        const std::string bytes = readAll(w.dir() + "/20110503_0000param.h");
        QVERIFY(bytes.rfind("//2011/05/03\r\n//0  \r\n  0x00000000,    //RefReg\r\n", 0) == 0);
        QCOMPARE(bytes.size(), size_t(14 + 8 * (7 + 27 + 28 + 28 + 26)));  // line 1, then per channel
    }

    // Name and date line come from two readings of the clock.
    void nameAndDateLineReadTheClockApart() {
        WindowUnderTest w;
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 59), localTime(2011, 5, 3, 21, 6, 0)});
        click(w->Button15);
        const std::string bytes = readAll(w.dir() + "/20110503_2105param.h");
        QVERIFY2(bytes.rfind("//2011/05/03 21:06:00\r\n", 0) == 0, bytes.c_str());
    }

    void descriptionGoesOutInCodePage932() {
        WindowUnderTest w;
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 7)});
        w->Edit1->setText(QString::fromUtf8("テスト"));
        click(w->Button14);
        click(w->Button15);
        const std::string bytes = readAll(w.dir() + "/20110503_2105param.h");
        QVERIFY(bytes.find("//0  \x83\x65\x83\x58\x83\x67MHz, std=10MHz") != std::string::npos);
    }

    // Text pasted from elsewhere may carry line breaks; the header keeps its 41 lines.
    void pastedLineBreaksStayOutOfTheHeader() {
        WindowUnderTest w;
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 7)});
        paste(w->Edit1, "12340\r\n  0x12345678,    //evil");
        paste(w->Edit3, "10\n");  // a cell copied from a spreadsheet
        QCOMPARE(w->Edit1->text(), QString("12340\r\n  0x12345678,    //evil"));
        click(w->Button14);
        click(w->Button15);
        const std::string bytes = readAll(w.dir() + "/20110503_2105param.h");
        QCOMPARE(std::count(bytes.begin(), bytes.end(), '\n'), 41);
        QCOMPARE(std::count(bytes.begin(), bytes.end(), '\r'), 41);
        QVERIFY2(bytes.find("\r\n//0  12340    0x12345678,    //evilMHz, std=10 MHz, PD=") != std::string::npos,
                 bytes.c_str());
    }

    // The name of an export is easy to foresee. A link planted under it is replaced by the header,
    // never written through; anything else there that is no regular file is left alone.
    void aLinkUnderTheExportsNameIsReplacedNotFollowed() {
        WindowUnderTest w;
        const std::string dir = QFile::encodeName(w.dir()).toStdString();
        const std::string victim = dir + "/victim";
        {
            QFile f(QString::fromStdString(victim));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("secret") == 6);
        }
        QVERIFY(::chmod(victim.c_str(), 0600) == 0);
        const std::string name = dir + "/20110503_2105param.h";
        QVERIFY(::symlink(victim.c_str(), name.c_str()) == 0);
        if (::geteuid() == 0) QVERIFY(::lchown(name.c_str(), 65534, 65534) == 0);  // planted by another user
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 7)});
        click(w->Button15);
        QCOMPARE(shownErrors(), QStringList());
        QCOMPARE(readAll(QString::fromStdString(victim)), std::string("secret"));
        QCOMPARE(typeOf(name), mode_t(S_IFREG));
        QVERIFY(readAll(QString::fromStdString(name)).rfind("//2011/05/03 21:05:07\r\n", 0) == 0);

        const std::string fifo = dir + "/20110503_2106param.h";
        QVERIFY(::mkfifo(fifo.c_str(), 0644) == 0);
        setClock(*w, {localTime(2011, 5, 3, 21, 6, 7)});
        click(w->Button15);
        QCOMPARE(shownErrors(), QStringList{"ファイルへのアクセスが拒否されました."});
        QCOMPARE(typeOf(fifo), mode_t(S_IFIFO));

        // A private node with the numbers of /dev/null stands in for a device.
        if (::mknod((dir + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("cannot make a device node here");
        const std::string toDevice = dir + "/20110503_2107param.h";
        QVERIFY(::symlink("null", toDevice.c_str()) == 0);
        recorder().shown.clear();
        setClock(*w, {localTime(2011, 5, 3, 21, 7, 7)});
        click(w->Button15);
        QCOMPARE(shownErrors(), QStringList());
        QCOMPARE(typeOf(dir + "/null"), mode_t(S_IFCHR));
        QCOMPARE(typeOf(toDevice), mode_t(S_IFREG));
    }

    void sameMinuteReplacesTheEarlierExport() {
        WindowUnderTest w;
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 7)});
        click(w->Button15);
        click(w->Button4);
        click(w->Button14);
        click(w->Button15);
        QCOMPARE(entries(w.dir()), QStringList{"20110503_2105param.h"});
        QCOMPARE(readAll(w.dir() + "/20110503_2105param.h"), expectedDefaultExport("//2011/05/03 21:05:07"));
    }

    void fullDiskShowsErrorAndKeepsEarlierExport() {
        if (::geteuid() != 0) QSKIP("mounting a tmpfs needs root");
        WindowUnderTest w;
        TinyTmpfs fs(w.dir());
        if (!fs.ok()) QSKIP("cannot mount a tmpfs here");
        // The window's directory is now the tmpfs; re-enter it so relative work lands there.
        QVERIFY(::chdir(QFile::encodeName(w.dir()).constData()) == 0);
        setClock(*w, {localTime(2011, 5, 3, 21, 5, 7)});
        click(w->Button15);  // an earlier export of the same minute
        const std::string earlier = readAll(w.dir() + "/20110503_2105param.h");
        QVERIFY(fs.fill());

        click(w->Button4);
        click(w->Button14);
        click(w->Button15);
        QCOMPARE(shownErrors(), QStringList{"ディスクがいっぱいです."});
        QCOMPARE(entries(w.dir()), (QStringList{"20110503_2105param.h", "filler"}));
        QCOMPARE(readAll(w.dir() + "/20110503_2105param.h"), earlier);
        QVERIFY(::chdir("/") == 0);
    }

    void unwritableDirectoryShowsAccessDenied() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QByteArray dir = QFile::encodeName(tmp.path());
        QString shown;
        if (::geteuid() == 0) {
            // Root passes permission checks: export as an ordinary user in another process.
            QVERIFY(::chmod(dir.constData(), 0755) == 0);
            const QString probe = QCoreApplication::applicationDirPath() + "/vtui_export_probe";
            QProcess p;
            p.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", probe, tmp.path()});
            if (!p.waitForStarted()) QSKIP("setpriv is not available");
            QVERIFY(p.waitForFinished(60000));
            if (p.exitStatus() != QProcess::NormalExit || p.exitCode() >= 125)
                QSKIP(qPrintable("cannot run the probe as an ordinary user: " +
                                 QString::fromLocal8Bit(p.readAllStandardError())));
            QCOMPARE(p.exitCode(), 0);
            shown = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        } else {
            QVERIFY(::chmod(dir.constData(), 0555) == 0);
            QVERIFY(::chdir(dir.constData()) == 0);
            {
                TForm1 form;
                recorder().shown.clear();
                QTest::mouseClick(form.Button15, Qt::LeftButton);
            }
            QVERIFY(::chdir("/") == 0);
            ::chmod(dir.constData(), 0755);
            shown = shownErrors().join('\n');
        }
        QCOMPARE(shown, QString("ファイルへのアクセスが拒否されました."));
        QCOMPARE(entries(tmp.path()), QStringList());
    }
};

VT_UI_TEST_MAIN(HeaderExportTest)
#include "header_export_test.moc"
