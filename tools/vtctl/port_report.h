#pragma once
// The ports command: the window's catalogue of ports and devices, and for each comN whose
// device is there whether this user may open it. No Qt.
#include <string>
#include <vector>

#include "serial/port_catalog.h"

namespace vtctl {

// One line per name (com1 … com12 and any further alias when names is empty), then one per
// serial device present:
//   "com1 opens /dev/serial/by-id/usb-FTDI… (alias): FTDI FT232R USB UART, serial A50285BI; you may open it"
//   "com2 opens /dev/ttyS1: not present"
//   "/dev/ttyUSB0 (/dev/serial/by-id/usb-FTDI…): FTDI FT232R USB UART, serial A50285BI"
// Looks only (stat, readlink, access): opening a real port would raise its lines.
std::vector<std::string> portsLines(const std::vector<std::string>& names, const commapi::CatalogRoots& roots);

}  // namespace vtctl
