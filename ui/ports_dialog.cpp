#include "ui/ports_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "common/exception_report.h"
#include "protocol/listed_ports.h"
#include "serial/portname.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QTableWidgetItem* cell(const std::string& text) {
    auto* item = new QTableWidgetItem(qs(text));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(qs(text));
    if (text.empty()) item->setData(Qt::AccessibleTextRole, QStringLiteral("none"));  // a screen reader says so
    return item;
}

}  // namespace

QString portTargetText(const commapi::ComPortTarget& target) {
    return qs(target.summary()) + "\n" + qs(target.description);
}

PortsDialog::PortsDialog(commapi::CatalogRoots roots, const QString& port, QWidget* parent)
    : QDialog(parent), roots_(std::move(roots)) {
    setObjectName("PortsDialog");
    setWindowTitle("Ports");
    buildControls();
    const int chosen = portBox->findText(port, Qt::MatchFixedString);
    portBox->setCurrentIndex(chosen >= 0 ? chosen : 0);
    connect(portBox, &QComboBox::currentIndexChanged, this, [this] { showPortLine(); });
    connect(devices, &QTableWidget::itemSelectionChanged, this,
            [this] { assignButton->setEnabled(!devices->selectedItems().isEmpty()); });
    connect(assignButton, &QPushButton::clicked, this, &PortsDialog::assign);
    connect(refreshButton, &QPushButton::clicked, this, &PortsDialog::refresh);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

void PortsDialog::buildControls() {
    auto* caption = new QLabel("Serial devices present", this);
    devices = new QTableWidget(0, 3, this);
    devices->setObjectName("PortsDevices");
    devices->setHorizontalHeaderLabels({"Device", "Description", "Stable name"});
    devices->setSelectionBehavior(QAbstractItemView::SelectRows);
    devices->setSelectionMode(QAbstractItemView::SingleSelection);
    devices->verticalHeader()->hide();
    devices->horizontalHeader()->setStretchLastSection(true);
    devices->setWordWrap(false);
    devices->setTextElideMode(Qt::ElideMiddle);
    devices->setTabKeyNavigation(false);  // Tab leaves the table; the arrow keys move between rows
    caption->setBuddy(devices);
    devices->setAccessibleName(caption->text());  // a table is not named by its caption's relation

    auto* portCaption = new QLabel("Assign to", this);
    portBox = new QComboBox(this);
    portBox->setObjectName("PortsPort");
    for (int n = 1; n <= protocol::kListedPorts; ++n) portBox->addItem(QStringLiteral("com%1").arg(n));
    portCaption->setBuddy(portBox);
    assignButton = new QPushButton("Assign", this);
    assignButton->setObjectName("PortsAssign");
    portLine = new QLabel(this);
    portLine->setObjectName("PortsPortLine");
    portLine->setTextFormat(Qt::PlainText);
    portLine->setSizePolicy(QSizePolicy::Ignored,
                            QSizePolicy::Preferred);  // a long path is cut, not widening the dialog
    refreshButton = new QPushButton("Refresh", this);
    refreshButton->setObjectName("PortsRefresh");
    closeButton = new QPushButton("Close", this);
    closeButton->setObjectName("PortsClose");
    for (QPushButton* b : {assignButton, refreshButton, closeButton}) b->setAutoDefault(false);

    auto* assignRow = new QHBoxLayout;
    assignRow->addWidget(portCaption);
    assignRow->addWidget(portBox);
    assignRow->addWidget(assignButton);
    assignRow->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(refreshButton);
    buttonRow->addStretch();
    buttonRow->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(devices);
    layout->addLayout(assignRow);
    layout->addWidget(portLine);
    layout->addLayout(buttonRow);
    resize(800, 320);
}

void PortsDialog::refresh() {
    present_ = commapi::listSerialDevices(roots_);
    devices->clearContents();
    devices->setRowCount(static_cast<int>(present_.size()));
    for (int row = 0; row < static_cast<int>(present_.size()); ++row) {
        const commapi::SerialDevice& d = present_[static_cast<size_t>(row)];
        devices->setItem(row, 0, cell(d.path));
        devices->setItem(row, 1, cell(d.description));
        devices->setItem(row, 2, cell(d.stableName));
    }
    devices->resizeColumnsToContents();
    assignButton->setEnabled(false);
    showPortLine();
    if (!present_.empty()) devices->selectRow(std::max(0, rowOfPortTarget()));
}

void PortsDialog::assign() {
    const int row = devices->currentRow();
    if (row < 0 || row >= static_cast<int>(present_.size())) return;
    const QString port = portBox->currentText();
    runGuarded([&] {
        commapi::assignComPort(port.toStdString(), present_[static_cast<size_t>(row)], roots_);
        emit assigned(port);
    });
    showPortLine();
}

// The row of the device the chosen comN opens now; -1 when it opens none of them.
int PortsDialog::rowOfPortTarget() const {
    std::error_code ec;
    const auto path = commapi::resolvePortName(portBox->currentText().toStdString(), roots_.configHome, roots_.dev);
    const auto opens = std::filesystem::canonical(path && !path->refused ? path->path : std::string(), ec);
    for (size_t row = 0; !ec && row < present_.size(); ++row) {
        std::error_code rowError;
        if (std::filesystem::canonical(present_[row].path, rowError) == opens && !rowError)
            return static_cast<int>(row);
    }
    return -1;
}

void PortsDialog::showPortLine() {
    const QString text = portTargetText(commapi::describeComPort(portBox->currentText().toStdString(), roots_));
    portLine->setText(text);
    portLine->setToolTip(text);
}
