#include "ui/ports_line.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "ui/event_hook.h"
#include "ui/ports_dialog.h"

PortsLine::PortsLine(QWidget& page, QComboBox& portList, QObject* parent) : QObject(parent), portList_(portList) {
    // In the page's free space below the port and rate lists, clear of the controls it keeps.
    label = new QLabel(&page);
    label->setObjectName("PortTargetLabel");
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(24, 112, 584, 34);
    button = new QPushButton(QString::fromUtf8("Ports…"), &page);
    button->setObjectName("PortsButton");
    button->setGeometry(24, 152, 75, 25);
    button->setAutoDefault(false);

    connect(&portList, &QComboBox::currentIndexChanged, this, &PortsLine::refresh);
    connect(button, &QPushButton::clicked, this, &PortsLine::openDialog);
    new EventHook(&page, QEvent::Show, [this](QEvent*) { refresh(); });
    refresh();
}

void PortsLine::setRoots(std::function<commapi::CatalogRoots()> roots) {
    roots_ = std::move(roots);
    refresh();
}

// A path too long for the page loses its middle on screen; the tooltip and a screen reader get
// it whole.
void PortsLine::refresh() {
    const auto target = commapi::describeComPort(selectedPort().toStdString(), roots_());
    const QFontMetrics metrics(label->font());
    const int width = label->width();
    label->setText(metrics.elidedText(QString::fromStdString(target.summary()), Qt::ElideMiddle, width) + "\n" +
                   metrics.elidedText(QString::fromStdString(target.description), Qt::ElideMiddle, width));
    const QString whole = portTargetText(target);
    label->setToolTip(whole);
    label->setAccessibleName(whole);
}

PortsDialog* PortsLine::openDialog() {
    auto* dialog = new PortsDialog(roots_(), selectedPort(), label->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PortsDialog::assigned, this, &PortsLine::refresh);
    dialog->open();
    return dialog;
}

// The item the connect would open: the selected one, not text typed over it.
QString PortsLine::selectedPort() const {
    const int i = portList_.currentIndex();
    return i >= 0 ? portList_.itemText(i) : QString();
}
