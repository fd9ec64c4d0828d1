#pragma once
// What sysfs tells about one tty: whether a device stands behind it and, for a USB adapter,
// the strings the adapter reports about itself. Those strings come from the device: they are
// read short and cleaned of control characters before anyone shows them.
#include <optional>
#include <string>

namespace commapi {

struct TtyFacts {
    bool usb = false;
    std::string manufacturer, product, serial;  // USB strings; any may be ""
    std::string vendorId, productId;            // USB ids, "0403" "6001"
    std::optional<int> uartType;                // a UART port's "type" (0: no UART found)
};

// The facts of <sys>/class/tty/<name>; nullopt when no device stands behind it (a virtual
// console, a pseudo-terminal) or it does not exist.
std::optional<TtyFacts> readTtyFacts(const std::string& sysRoot, const std::string& name);

// One line about the device: "FTDI FT232R USB UART, serial A50285BI", "serial port (16550A)".
std::string describeTty(const TtyFacts& facts);

}  // namespace commapi
