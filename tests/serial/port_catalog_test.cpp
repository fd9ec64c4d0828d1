// Finding the port on a made-up machine: the devices sysfs shows, their stable names, what each
// comN opens, and giving a comN a device without ever replacing anything but an alias.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/syscall.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "serial/port_catalog.h"
#include "testkit/fake_serial_tree.h"
#include "text/vt_error.h"

namespace fs = std::filesystem;
using commapi::describeComPort;

namespace {

const vttest::FakeUsbAdapter kFtdi = vttest::ftdiAdapter();

// Runs once right after the next link is made: the moment between making an alias's new link
// and renaming it into place.
std::function<void()> gAfterSymlink;

}  // namespace

extern "C" int symlink(const char* target, const char* path) noexcept {
    const int made = static_cast<int>(::syscall(SYS_symlinkat, target, AT_FDCWD, path));
    if (made == 0 && gAfterSymlink) std::exchange(gAfterSymlink, nullptr)();
    return made;
}

class PortCatalog : public ::testing::Test {
protected:
    PortCatalog() {
        tree_.addUsbAdapter(kFtdi);
        tree_.addUart("ttyS0", 4);
        tree_.addUart("ttyS1", 0);
        tree_.addUart("ttyS10", 4);
        tree_.addVirtualTty("tty1");
    }
    std::string stable() const { return tree_.byId() + "/" + kFtdi.byIdName; }
    std::string alias(int n) const { return home_.portAlias(n); }
    void linkAlias(int n, const std::string& target) const { home_.linkPort(n, target); }

    vttest::FakeSerialTree tree_;
    vttest::ConfigHome home_;
    commapi::CatalogRoots roots_{
        .sys = tree_.sys(), .dev = tree_.dev(), .byId = tree_.byId(), .configHome = home_.path()};
};

TEST_F(PortCatalog, ListsTheDevicesPresentWithTheirStableNames) {
    const auto devices = commapi::listSerialDevices(roots_);
    ASSERT_EQ(devices.size(), 4u) << "tty1 has no device behind it";
    EXPECT_EQ(devices[0].name, "ttyS0");
    EXPECT_EQ(devices[1].name, "ttyS1");
    EXPECT_EQ(devices[2].name, "ttyS10") << "ttyS1 before ttyS10, by number";
    EXPECT_EQ(devices[0].description, "serial port (16550A)");
    EXPECT_EQ(devices[1].description, "serial port, no UART found");
    EXPECT_EQ(devices[0].stableName, "");
    EXPECT_EQ(devices[0].aliasTarget(), tree_.node("ttyS0")) << "without a stable name, the node";

    const commapi::SerialDevice& usb = devices[3];
    EXPECT_EQ(usb.path, tree_.node("ttyUSB0"));
    EXPECT_EQ(usb.stableName, stable());
    EXPECT_EQ(usb.aliasTarget(), stable());
    EXPECT_EQ(usb.description, "FTDI FT232R USB UART, serial A50285BI") << "the adapter's, not the root hub's";
    EXPECT_EQ(usb.line(), tree_.node("ttyUSB0") + " (" + stable() + "): FTDI FT232R USB UART, serial A50285BI");
}

// With ttyS2 beside ttyS10, only number order puts ttyS2 first.
TEST_F(PortCatalog, DevicesComeInNumberOrder) {
    tree_.addUart("ttyS2", 4);
    std::string names;
    for (const commapi::SerialDevice& d : commapi::listSerialDevices(roots_)) names += d.name + " ";
    EXPECT_EQ(names, "ttyS0 ttyS1 ttyS2 ttyS10 ttyUSB0 ");
}

TEST_F(PortCatalog, UsbStringsAreTheDevicesOwnAndShownSafely) {
    // A modem-class adapter sits on the interface itself; this one reports no maker or product.
    tree_.addUsbAdapter({.tty = "ttyACM0", .usbDevice = "1-3", .vendorId = "2341", .productId = "0043"});
    vttest::writeBytes(tree_.file("sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/serial"),
                       "AB\x1b[2J" + std::string(400, 'x') + "\n");
    const auto devices = commapi::listSerialDevices(roots_);
    const auto acm = std::find_if(devices.begin(), devices.end(), [](auto& d) { return d.name == "ttyACM0"; });
    ASSERT_NE(acm, devices.end());
    EXPECT_EQ(acm->description, "USB device 2341:0043, serial AB?[2J" + std::string(249, 'x'));
    EXPECT_EQ(acm->stableName, "");
}

TEST_F(PortCatalog, SaysWhatEachComOpensAndWhatThatIs) {
    linkAlias(2, stable());
    linkAlias(3, tree_.file("absent"));
    linkAlias(4, tree_.file("a-file"));
    vttest::writeBytes(tree_.file("a-file"), "");
    // Aliases beyond com12, made in no order: listed by number, neither as the folder lists
    // them nor by name (com100 after com99).
    for (int n : {20, 100, 13, 31, 99, 14}) linkAlias(n, tree_.node("ttyS10"));

    EXPECT_EQ(describeComPort("com1", roots_).line(), "com1 opens " + tree_.node("ttyS0") + ": serial port (16550A)");
    EXPECT_EQ(
        describeComPort("COM2", roots_).line(),
        "COM2 opens " + stable() + " (alias): FTDI FT232R USB UART, serial A50285BI, on " + tree_.node("ttyUSB0"));
    EXPECT_EQ(describeComPort("com3", roots_).line(), "com3 opens " + tree_.file("absent") + " (alias): not present");
    EXPECT_EQ(describeComPort("com4", roots_).description, "not a device");
    EXPECT_EQ(describeComPort("com5", roots_).line(), "com5 opens " + tree_.node("ttyS4") + ": not present");
    EXPECT_EQ(describeComPort("LPT1", roots_).line(), "LPT1: not a port name (comN or a device path)");
    EXPECT_EQ(describeComPort(tree_.node("ttyUSB0"), roots_).description, "FTDI FT232R USB UART, serial A50285BI");

    const auto ports = commapi::describeComPorts(roots_);
    std::vector<std::string> further;
    for (std::size_t i = 12; i < ports.size(); ++i) further.push_back(ports[i].port);
    EXPECT_EQ(further, (std::vector<std::string>{"com13", "com14", "com20", "com31", "com99", "com100"}));
    const auto report = commapi::portsReport(roots_);
    ASSERT_EQ(report.size(), 18u + 4u);
    EXPECT_EQ(report[18], commapi::listSerialDevices(roots_)[0].line());

    vttest::FakeSerialTree empty;
    EXPECT_EQ(
        commapi::portsReport({.sys = empty.sys(), .dev = empty.dev(), .byId = empty.byId(), .configHome = ""}).back(),
        "no serial device present");
}

TEST_F(PortCatalog, AssigningReplacesOnlyAnAlias) {
    const auto devices = commapi::listSerialDevices(roots_);
    const commapi::SerialDevice& usb = devices.back();
    // No alias folder yet: it is made.
    EXPECT_EQ(commapi::assignComPort("com3", usb, roots_).opens, stable());
    EXPECT_EQ(fs::read_symlink(alias(3)), stable());

    // An alias is replaced, and nothing is left beside it.
    EXPECT_EQ(commapi::assignComPort("COM3", devices[0], roots_).opens, tree_.node("ttyS0"));
    EXPECT_EQ(fs::read_symlink(alias(3)), tree_.node("ttyS0"));
    EXPECT_EQ(vttest::listing(home_.file("vtconfig/ports")), "com3\n");
    EXPECT_EQ(fs::status(home_.file("vtconfig/ports")).permissions(), fs::perms::owner_all) << "made private";

    // A temporary name an earlier run left is passed over, not failed on, and left as it is.
    const std::string leftover = home_.file("vtconfig/ports/.com7.new-" + std::to_string(::getpid()) + "-0");
    ASSERT_EQ(::symlink("elsewhere", leftover.c_str()), 0);
    EXPECT_EQ(commapi::assignComPort("com7", usb, roots_).opens, stable());
    EXPECT_EQ(fs::read_symlink(leftover), "elsewhere");

    // A regular file, a device node and a folder under the alias's name stay as they are.
    vttest::writeBytes(alias(4), "mine");
    if (::mknod(alias(5).c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
        ASSERT_EQ(::mkfifo(alias(5).c_str(), 0600), 0) << "not root: a FIFO stands in for the device";
    }
    fs::create_directory(alias(6));
    for (int n : {4, 5, 6}) {
        EXPECT_THROW(commapi::assignComPort("com" + std::to_string(n), usb, roots_), text::VtError) << n;
        EXPECT_FALSE(fs::is_symlink(alias(n))) << n;
    }
    EXPECT_EQ(vttest::readWholeFile(alias(4)), "mine");
    try {
        commapi::assignComPort("com4", usb, roots_);
    } catch (const text::VtError& e) {
        EXPECT_STREQ(e.what(), (alias(4) + " is a regular file, not an alias; it is left as it is").c_str());
    }
    EXPECT_THROW(commapi::assignComPort(tree_.node("ttyS0"), usb, roots_), text::VtError) << "a path is no comN";
}

// A file that comes under the alias's name while an assign replaces the alias (right after the
// new link is made beside it) stays, whether the name held an alias before or nothing.
TEST_F(PortCatalog, AFileThatComesDuringAnAssignIsNeverReplaced) {
    const auto devices = commapi::listSerialDevices(roots_);
    commapi::assignComPort("com3", devices[0], roots_);
    const auto plantFile = [this] {
        vttest::writeBytes(home_.file("mine"), "mine");
        ASSERT_EQ(::rename(home_.file("mine").c_str(), alias(3).c_str()), 0);
    };
    for (const bool hadAlias : {true, false}) {
        if (!hadAlias) fs::remove(alias(3));
        gAfterSymlink = plantFile;
        EXPECT_THROW(commapi::assignComPort("com3", devices[1], roots_), text::VtError) << hadAlias;
        EXPECT_EQ(vttest::readWholeFile(alias(3)), "mine") << hadAlias;
        EXPECT_EQ(vttest::listing(home_.file("vtconfig/ports")), "com3\n") << "no temporary name is left";
        fs::remove(alias(3));
    }
}

// What ./run links com1 to: the simulated unit's pseudo-terminal.
TEST_F(PortCatalog, APseudoTerminalIsNamedSo) {
    int master = -1, slave = -1;
    char name[64] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    linkAlias(1, name);
    roots_.dev = "/dev";
    EXPECT_EQ(describeComPort("com1", roots_).line(), "com1 opens " + std::string(name) + " (alias): pseudo-terminal");
    ::close(slave);
    ::close(master);
}
