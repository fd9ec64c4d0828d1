#pragma once
// A made-up machine's serial devices: a sysfs and /dev tree in a private folder, laid out as the
// kernel and udev lay them out, for the port catalogue to look at instead of this machine's.
// Device nodes are empty regular files: nothing here is ever opened as a device.
#include <string>

#include "testkit/temp_dir.h"

namespace vttest {

struct FakeUsbAdapter {
    std::string tty;        // "ttyUSB0" (a port below the interface) or "ttyACM0" (the interface itself)
    std::string usbDevice;  // its folder name below the root hub, "1-2"
    std::string vendorId{}, productId{}, manufacturer{}, product{}, serial{};  // "": not reported
    std::string byIdName{};                                                    // "": none
};

// An FTDI adapter on ttyUSB0 with its stable name, as most benches have one.
FakeUsbAdapter ftdiAdapter();

class FakeSerialTree : public TempDir {
public:
    FakeSerialTree();
    std::string sys() const { return file("sys"); }
    std::string dev() const { return file("dev"); }
    std::string byId() const { return file("dev/serial/by-id"); }
    std::string node(const std::string& tty) const { return file("dev/" + tty); }

    void addUsbAdapter(const FakeUsbAdapter& adapter) const;
    // An on-board port; its "type" is the UART found (0: none, 4: 16550A).
    void addUart(const std::string& tty, int type) const;
    // A tty with no device behind it (a virtual console).
    void addVirtualTty(const std::string& tty) const;

private:
    void addTty(const std::string& tty, const std::string& deviceFolder) const;
};

}  // namespace vttest
