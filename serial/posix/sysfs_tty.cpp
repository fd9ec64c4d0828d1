#include "serial/posix/sysfs_tty.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>

namespace commapi {
namespace fs = std::filesystem;
namespace {

// An attribute's first line, at most 255 bytes, control characters shown as '?'; "" when it
// cannot be read. Only a regular file is read, and never waited for.
std::string readAttribute(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    char buffer[255];
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    std::string text;
    for (ssize_t i = 0; i < n && buffer[i] != '\n'; ++i) {
        const auto c = static_cast<unsigned char>(buffer[i]);
        text += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The USB device a tty's device belongs to: the nearest folder above it, inside sysfs, that
// carries USB ids (a USB serial port sits below an interface, the interface below the device).
std::optional<fs::path> usbDeviceOf(const fs::path& device, const fs::path& sys) {
    const std::string inside = sys.string() + "/";
    fs::path p = device;
    for (int depth = 0; depth < 16 && p.string().starts_with(inside); ++depth, p = p.parent_path()) {
        std::error_code ec;
        if (fs::is_regular_file(p / "idVendor", ec)) return p;
    }
    return std::nullopt;
}

std::optional<int> number(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string uartName(int type) {
    switch (type) {
        case 1: return "8250";
        case 2: return "16450";
        case 3: return "16550";
        case 4: return "16550A";
        case 8: return "16750";
        default: return "UART type " + std::to_string(type);
    }
}

}  // namespace

std::optional<TtyFacts> readTtyFacts(const std::string& sysRoot, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return std::nullopt;
    const fs::path tty = fs::path(sysRoot) / "class/tty" / name;
    std::error_code deviceError, sysError;
    const fs::path device = fs::canonical(tty / "device", deviceError);
    const fs::path sys = fs::canonical(sysRoot, sysError);
    if (deviceError || sysError) return std::nullopt;
    TtyFacts facts;
    if (const auto usb = usbDeviceOf(device, sys)) {
        facts.usb = true;
        facts.manufacturer = readAttribute(*usb / "manufacturer");
        facts.product = readAttribute(*usb / "product");
        facts.serial = readAttribute(*usb / "serial");
        facts.vendorId = readAttribute(*usb / "idVendor");
        facts.productId = readAttribute(*usb / "idProduct");
    }
    facts.uartType = number(readAttribute(tty / "type"));
    return facts;
}

std::string describeTty(const TtyFacts& facts) {
    if (facts.usb) {
        std::string text = facts.manufacturer;
        if (!facts.product.empty()) text += (text.empty() ? "" : " ") + facts.product;
        if (text.empty()) text = "USB device " + facts.vendorId + ":" + facts.productId;
        if (!facts.serial.empty()) text += ", serial " + facts.serial;
        return text;
    }
    if (!facts.uartType) return "serial port";
    if (*facts.uartType == 0) return "serial port, no UART found";
    return "serial port (" + uartName(*facts.uartType) + ")";
}

}  // namespace commapi
