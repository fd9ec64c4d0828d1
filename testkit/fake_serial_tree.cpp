#include "testkit/fake_serial_tree.h"

#include <filesystem>

namespace vttest {
namespace fs = std::filesystem;
namespace {

const std::string kRootHub = "sys/devices/pci0000:00/0000:00:14.0/usb1";

}  // namespace

FakeUsbAdapter ftdiAdapter() {
    return {.tty = "ttyUSB0",
            .usbDevice = "1-2",
            .vendorId = "0403",
            .productId = "6001",
            .manufacturer = "FTDI",
            .product = "FT232R USB UART",
            .serial = "A50285BI",
            .byIdName = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"};
}

// The root hub carries USB ids and strings too: the catalogue must take the nearest device's.
FakeSerialTree::FakeSerialTree() {
    fs::create_directories(file("sys/class/tty"));
    fs::create_directories(file("dev/pts"));
    fs::create_directories(file(kRootHub));
    writeBytes(file(kRootHub + "/idVendor"), "1d6b\n");
    writeBytes(file(kRootHub + "/idProduct"), "0002\n");
    writeBytes(file(kRootHub + "/manufacturer"), "Linux 6.1.0 xhci-hcd\n");
    writeBytes(file(kRootHub + "/product"), "xHCI Host Controller\n");
}

// <device>/tty/<tty> is the class folder, its "device" link points back at <device>, and
// sys/class/tty/<tty> links to it, as in sysfs.
void FakeSerialTree::addTty(const std::string& tty, const std::string& deviceFolder) const {
    const fs::path classFolder = file(deviceFolder + "/tty/" + tty);
    fs::create_directories(classFolder);
    if (!deviceFolder.starts_with("sys/devices/virtual")) fs::create_symlink("../..", classFolder / "device");
    fs::create_symlink(classFolder, file("sys/class/tty/" + tty));
    writeBytes(node(tty), "");
}

void FakeSerialTree::addUsbAdapter(const FakeUsbAdapter& a) const {
    const std::string usb = kRootHub + "/" + a.usbDevice;
    const std::string interface = usb + "/" + a.usbDevice + ":1.0";
    addTty(a.tty, a.tty.starts_with("ttyUSB") ? interface + "/" + a.tty : interface);
    const std::pair<const char*, const std::string*> attributes[] = {{"idVendor", &a.vendorId},
                                                                     {"idProduct", &a.productId},
                                                                     {"manufacturer", &a.manufacturer},
                                                                     {"product", &a.product},
                                                                     {"serial", &a.serial}};
    for (const auto& [name, value] : attributes)
        if (!value->empty()) writeBytes(file(usb + "/" + name), *value + "\n");
    if (a.byIdName.empty()) return;
    fs::create_directories(byId());
    fs::create_symlink("../../" + a.tty, byId() + "/" + a.byIdName);
}

void FakeSerialTree::addUart(const std::string& tty, int type) const {
    addTty(tty, "sys/devices/platform/serial8250/serial8250:0/serial8250:0." + tty.substr(4));
    writeBytes(file("sys/class/tty/" + tty + "/type"), std::to_string(type) + "\n");
}

void FakeSerialTree::addVirtualTty(const std::string& tty) const { addTty(tty, "sys/devices/virtual/tty"); }

}  // namespace vttest
