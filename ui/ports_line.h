#pragma once
// Beside the port list of the "ComPort" page: a line that says what the selected comN opens and
// what that is, and the "Ports…" button that opens the Ports dialog. The line follows the
// selection, is read again whenever the page is shown and after the dialog assigns a device.
#include <QObject>
#include <functional>

#include "serial/port_catalog.h"

class PortsDialog;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

class PortsLine : public QObject {
    Q_OBJECT
public:
    // Places the line and the button on page, under portList.
    PortsLine(QWidget& page, QComboBox& portList, QObject* parent);

    // Where the catalogue looks: this machine unless a test says otherwise.
    void setRoots(std::function<commapi::CatalogRoots()> roots);
    void refresh();
    // Opens the Ports dialog over the page's window without waiting for it; it goes when closed.
    PortsDialog* openDialog();

    QLabel* label = nullptr;
    QPushButton* button = nullptr;

private:
    QString selectedPort() const;

    QComboBox& portList_;
    std::function<commapi::CatalogRoots()> roots_ = commapi::systemRoots;
};
