#pragma once
// The Ports dialog: the serial devices present with their stable names, and a comN to give the
// chosen one. Assigning makes comN's alias point at the device's stable name; a failure goes to
// the general error report and changes nothing.
#include <QDialog>
#include <vector>

#include "serial/port_catalog.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// What a comN opens (first line) and what that is (second line), as the window shows it.
QString portTargetText(const commapi::ComPortTarget& target);

class PortsDialog : public QDialog {
    Q_OBJECT
public:
    // port: the comN chosen at first.
    PortsDialog(commapi::CatalogRoots roots, const QString& port, QWidget* parent);

    // Reads the devices and the chosen comN's target again (a device plugged in meanwhile).
    void refresh();
    // Gives the selected device to the chosen comN.
    void assign();

    QTableWidget* devices = nullptr;  // one row a device: node, stable name, description
    QComboBox* portBox = nullptr;     // com1 … com12
    QLabel* portLine = nullptr;       // what the chosen comN opens now
    QPushButton* assignButton = nullptr;
    QPushButton* refreshButton = nullptr;
    QPushButton* closeButton = nullptr;

signals:
    void assigned(const QString& port);

private:
    void showPortLine();
    int rowOfPortTarget() const;
    void buildControls();

    commapi::CatalogRoots roots_;
    std::vector<commapi::SerialDevice> present_;  // the table's rows, in order
};
