// The general error report: the text with its full stop, the real modal box, and errors that
// escape event processing without a handler's guard.
#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "planning/error_texts.h"
#include "tests/ui/ui_test_support.h"
#include "ui/message_box_notifier.h"

namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw text::VtError("ゼロによる除算");
        return QObject::event(e);
    }
};

struct BoxSeen {
    bool modal = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    QString read;  // what a screen reader reads in the box: its text as rendered
    int buttons = 0;
};

// What the modal box shows.
void read(QMessageBox* box, BoxSeen& seen) {
    seen.modal = true;
    seen.icon = box->icon();
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.buttons = static_cast<int>(box->buttons().size());
}

// Reads the modal box once it is up, then presses its OK button.
void inspectAndClose(BoxSeen& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        read(box, seen);
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label))
                seen.read = a->text(QAccessible::Name);
        }
        box->button(QMessageBox::Ok)->click();
    });
}

}  // namespace

class ErrorReportTest : public QObject {
    Q_OBJECT
private slots:
    void fullStopRule() {
        auto text = [](auto e) { return errorReportText(std::make_exception_ptr(e)); };
        QCOMPARE(text(text::VtError("ゼロによる除算")), QString("ゼロによる除算."));
        QCOMPARE(text(text::VtError("I/O エラー (5)")), QString("I/O エラー (5)"));
        QCOMPARE(text(std::runtime_error("'abc' は整数ではありません")), QString("'abc' は整数ではありません."));
        QCOMPARE(text(42), QString("不明な例外."));
    }

    void realBoxIsModalWithErrorIconAndOneOk() {
        MessageBoxNotifier boxes;
        BoxSeen seen;
        inspectAndClose(seen);
        boxes.showError("ファイルへのアクセスが拒否されました.");
        QVERIFY(seen.modal);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.title, QString("Vantorix-10G_K512 Configurator  V1.0"));
        QCOMPARE(seen.text, QString("ファイルへのアクセスが拒否されました."));
        QCOMPARE(seen.buttons, 1);
    }

    void plainMessageHasNoIcon() {
        MessageBoxNotifier boxes;
        BoxSeen seen;
        inspectAndClose(seen);
        boxes.showMessage("Error");
        QVERIFY(seen.modal);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.title, QString("Vantorix-10G_K512 Configurator  V1.0"));
        QCOMPARE(seen.buttons, 1);
    }

    // The box quotes what the operator typed exactly as typed: never rendered as markup. The
    // labels that show the operator's values are plain text as well.
    void typedTextIsShownAsTyped() {
        WindowUnderTest w;
        MessageBoxNotifier boxes;
        Notifier* recording = setNotifier(&boxes);
        BoxSeen seen;
        inspectAndClose(seen);
        w->Edit2->setText("<b>5</b>");
        w->Button4->click();
        setNotifier(recording);
        const QString typed = QStringLiteral("'<b>5</b>' は浮動小数点数ではありません.");
        QCOMPARE(seen.text, typed);
        QCOMPARE(seen.read, typed);
        for (QLabel* l : w->findChildren<QLabel*>())
            QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
    }

    // Enter on the question answers No: leaving without saving is never the easy way.
    void questionAnswersNoByDefault() {
        MessageBoxNotifier boxes;
        BoxSeen seen;
        bool plain = false;
        QTimer::singleShot(0, [&] {
            QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            read(box, seen);
            plain = box->textFormat() == Qt::PlainText;
            QTest::keyClick(box, Qt::Key_Return);
            QTimer::singleShot(1000, [box] {
                if (box) box->button(QMessageBox::Yes)->click();  // Enter did nothing: fail, do not hang
            });
        });
        QVERIFY(!boxes.ask("設定を保存せずに終了しますか?"));
        QVERIFY(seen.modal);
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.title, QString("Vantorix-10G_K512 Configurator  V1.0"));
        QCOMPARE(seen.text, QString("設定を保存せずに終了しますか?"));
        QCOMPARE(seen.buttons, 2);
        QVERIFY(plain);
    }

    // Whatever a later handler forgets to guard still ends in the report, not in a crash.
    void errorEscapingAnEventIsReported() {
        recorder().shown.clear();
        ThrowingObject o;
        QEvent e(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&o, &e));
        QCOMPARE(shownErrors(), QStringList{"ゼロによる除算."});
    }

    void guardedHandlerReportsAndReturns() {
        recorder().shown.clear();
        runGuarded([] { throw text::VtError("0 による浮動小数点数除算"); });
        QCOMPARE(shownErrors(), QStringList{"0 による浮動小数点数除算."});
    }
};

VT_UI_TEST_MAIN(ErrorReportTest)
#include "error_report_test.moc"
