#pragma once
// Finding the port: the serial devices of this machine (from sysfs, with udev's stable names),
// what each comN opens and what that is, and giving a comN a device. The "ComPort" page, its
// Ports dialog and `vtctl ports` all tell the operator the same from here. Every root is a
// parameter, so tests build a tree of their own. Free of Qt.
#include <string>
#include <vector>

namespace commapi {

struct CatalogRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string byId = "/dev/serial/by-id";
    std::string configHome;  // the port aliases live in its vtconfig/ports
};

// This machine's roots, with this process's configuration folder.
CatalogRoots systemRoots();

struct SerialDevice {
    std::string name;         // the kernel's, "ttyUSB0"
    std::string path;         // its node, <dev>/ttyUSB0
    std::string stableName;   // <by-id>/usb-…, "" when there is none
    std::string description;  // "FTDI FT232R USB UART, serial A50285BI"

    // What an alias should point at: the stable name, which survives replugging.
    const std::string& aliasTarget() const { return stableName.empty() ? path : stableName; }
    // "/dev/ttyUSB0 (/dev/serial/by-id/…): FTDI FT232R USB UART, serial A50285BI"
    std::string line() const;
};

// The serial devices present (a tty with a device behind it), in name order (ttyS2 before ttyS10).
std::vector<SerialDevice> listSerialDevices(const CatalogRoots& roots);

struct ComPortTarget {
    std::string port;         // as asked, "com3"
    std::string opens;        // the alias's target, or <dev>/ttyS<N-1>; "" when it opens nothing
    bool alias = false;       // a link under comN's name, not whatever else is there
    bool terminal = false;    // what it opens is a terminal (a serial port, a pseudo-terminal)
    bool refused = false;     // the name is not opened at all; description says why
    std::string description;  // what it opens is; "not present" when it does not exist

    std::string summary() const;  // "com3 opens /dev/serial/by-id/… (alias)"
    std::string line() const;     // summary() + ": " + description
};

ComPortTarget describeComPort(const std::string& port, const CatalogRoots& roots);
// com1 … com12, then any further comN that has an alias, in number order.
std::vector<ComPortTarget> describeComPorts(const CatalogRoots& roots);
// Each device present in a line (SerialDevice::line), or "no serial device present".
std::vector<std::string> deviceLines(const CatalogRoots& roots);
// Everything in lines: each comN of describeComPorts, then each device present (or "no serial
// device present").
std::vector<std::string> portsReport(const CatalogRoots& roots);

// Points comN's alias at the device's stable name (its node when it has none) and returns what
// comN opens now. An existing alias is replaced; anything else under the alias's name (a file, a
// device, a folder) is left alone and raises text::VtError, as does a name that is not comN.
ComPortTarget assignComPort(const std::string& port, const SerialDevice& device, const CatalogRoots& roots);

}  // namespace commapi
