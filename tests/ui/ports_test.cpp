// Finding the port from the window: the line under the port list follows the selection, the
// line and its button keep clear of the page's own controls, and the Ports dialog gives a comN
// the chosen device. The catalogue looks at a made-up machine; no real device is touched.
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <filesystem>

#include "testkit/fake_serial_tree.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ports_dialog.h"
#include "ui/ports_line.h"

namespace fs = std::filesystem;

namespace {

// The made-up machine: an FTDI adapter with its stable name and one on-board port; the port
// aliases in a folder of its own.
struct Machine {
    Machine() {
        tree.addUsbAdapter(vttest::ftdiAdapter());
        tree.addUart("ttyS0", 4);
        fs::create_directories(alias(0).parent_path());
    }
    commapi::CatalogRoots roots() const {
        return {.sys = tree.sys(), .dev = tree.dev(), .byId = tree.byId(), .configHome = tree.file("config")};
    }
    fs::path alias(int n) const { return tree.file("config/vtconfig/ports/com" + std::to_string(n)); }
    std::string stable() const { return tree.byId() + "/" + vttest::ftdiAdapter().byIdName; }
    void lookFrom(TForm1& form) const {
        form.Ports->setRoots([r = roots()] { return r; });
    }

    vttest::FakeSerialTree tree;
};

QString accessibleName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

int rowOf(const QTableWidget* table, const std::string& node) {
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0)->text() == QString::fromStdString(node)) return row;
    return -1;
}

}  // namespace

class PortsTest : public QObject {
    Q_OBJECT
private slots:
    void lineFollowsTheSelection() {
        Machine m;
        fs::create_symlink(m.stable(), m.alias(2));
        WindowUnderTest w;
        m.lookFrom(*w);
        QLabel* line = w->Ports->label;

        w->ComboBox1->setCurrentIndex(1);
        const QString com2 =
            QString::fromStdString("com2 opens " + m.stable() + " (alias)\nFTDI FT232R USB UART, serial A50285BI, on " +
                                   m.tree.node("ttyUSB0"));
        QCOMPARE(line->toolTip(), com2);
        QCOMPARE(accessibleName(line), com2);
        QCOMPARE(line->text().section('\n', 1), com2.section('\n', 1));

        w->ComboBox1->setCurrentIndex(4);
        QCOMPARE(line->text(), QString::fromStdString("com5 opens " + m.tree.node("ttyS4") + "\nnot present"));

        // An alias made behind the window's back shows when the page is shown again.
        fs::create_symlink(m.tree.node("ttyS0"), m.alias(5));
        w->show();
        w->PageControl1->setCurrentWidget(w->TabSheet1);
        w->PageControl1->setCurrentWidget(w->TabSheet3);
        QCOMPARE(line->text(),
                 QString::fromStdString("com5 opens " + m.tree.node("ttyS0") + " (alias)\nserial port (16550A)"));
    }

    void lineAndButtonKeepClearOfThePage() {
        WindowUnderTest w;
        QWidget* added[] = {w->Ports->label, w->Ports->button};
        for (QWidget* mine : added) {
            QCOMPARE(mine->parentWidget(), w->TabSheet3);
            QVERIFY2(w->TabSheet3->rect().contains(mine->geometry()), qPrintable(mine->objectName()));
            for (QWidget* c : w->TabSheet3->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (c == added[0] || c == added[1] || c->isHidden()) continue;
                QVERIFY2(!c->geometry().intersects(mine->geometry()), qPrintable(c->objectName()));
            }
        }
        QCOMPARE(accessibleName(w->Ports->button), QString::fromUtf8("Ports…"));
    }

    void dialogAssignsTheChosenDevice() {
        Machine m;
        WindowUnderTest w;
        m.lookFrom(*w);
        w->ComboBox1->setCurrentIndex(2);
        w->show();
        w->PageControl1->setCurrentWidget(w->TabSheet3);
        QTest::mouseClick(w->Ports->button, Qt::LeftButton);
        auto* dialog = w->findChild<PortsDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->portBox->currentText(), QString("com3"));
        QCOMPARE(dialog->devices->rowCount(), 2);
        const int usb = rowOf(dialog->devices, m.tree.node("ttyUSB0"));
        QVERIFY(usb >= 0);
        QCOMPARE(dialog->devices->item(usb, 2)->text(), QString::fromStdString(m.stable()));

        dialog->devices->selectRow(usb);
        QTest::mouseClick(dialog->assignButton, Qt::LeftButton);
        QCOMPARE(fs::read_symlink(m.alias(3)).string(), m.stable());
        QVERIFY(shownErrors().isEmpty());
        QVERIFY(w->Ports->label->toolTip().endsWith("FTDI FT232R USB UART, serial A50285BI, on " +
                                                    QString::fromStdString(m.tree.node("ttyUSB0"))));
        QCOMPARE(dialog->portLine->text(), w->Ports->label->toolTip());

        // A file of the operator's under an alias's name is his: the assignment is refused.
        vttest::writeBytes(m.alias(4), "mine");
        dialog->portBox->setCurrentText("com4");
        QTest::mouseClick(dialog->assignButton, Qt::LeftButton);
        QCOMPARE(shownErrors(), QStringList{QString::fromStdString(
                                    m.alias(4).string() + " is a regular file, not an alias; it is left as it is.")});
        QCOMPARE(vttest::readWholeFile(m.alias(4)), std::string("mine"));

        QTest::mouseClick(dialog->closeButton, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }
};

VT_UI_TEST_MAIN(PortsTest)
#include "ports_test.moc"
