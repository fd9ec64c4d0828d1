// The catalogue on Windows: the serial ports the system has, as its registry lists them
// (HARDWARE\DEVICEMAP\SERIALCOMM: each port's name and the device behind it), and what each comN
// opens (\\.\COMN, looked up with QueryDosDevice). Windows names its ports itself: there are no
// aliases to give, and whether a port may be opened is told only by opening it.
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "protocol/listed_ports.h"
#include "serial/port_catalog.h"
#include "serial/portname.h"
#include "text/shown.h"
#include "text/vt_error.h"

namespace commapi {
namespace {

constexpr const char* kPortsKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kDevicePrefix = "\\\\.\\";

// N of "COMN" (any case); 0 for any other name.
long comNumber(const std::string& name) {
    const auto alias = portAliasName(name);
    return alias ? std::stol(alias->substr(3)) : 0;
}

// The device behind a name of the device namespace ("COM3" -> "\Device\Serial2"); "" when the
// system has none.
std::string deviceBehind(const std::string& name) {
    char target[1024];
    if (::QueryDosDeviceA(name.c_str(), target, sizeof target) == 0) return "";
    return target;  // the first of the names, each ended by a NUL
}

}  // namespace

CatalogRoots systemRoots() {
    CatalogRoots roots;
    roots.configHome = configHome();
    return roots;
}

std::string SerialDevice::line() const { return path + ": " + description; }

// In the order of their numbers; a name that is no COMN comes last.
std::vector<SerialDevice> listSerialDevices(const CatalogRoots&) {
    std::vector<SerialDevice> devices;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return devices;
    for (DWORD i = 0;; ++i) {
        char device[256];
        BYTE port[256];
        DWORD deviceLength = sizeof device;
        DWORD portLength = sizeof port - 1;
        DWORD type = 0;
        const LONG r = ::RegEnumValueA(key, i, device, &deviceLength, nullptr, &type, port, &portLength);
        if (r == ERROR_MORE_DATA) continue;  // no port has a name that long
        if (r != ERROR_SUCCESS) break;
        if (type != REG_SZ) continue;
        port[portLength] = 0;
        SerialDevice d;
        d.name = reinterpret_cast<const char*>(port);
        d.path = kDevicePrefix + d.name;
        d.description = device;
        devices.push_back(std::move(d));
    }
    ::RegCloseKey(key);
    const auto order = [](const SerialDevice& d) {
        const long n = comNumber(d.name);
        return std::pair(n == 0, n);
    };
    std::stable_sort(devices.begin(), devices.end(),
                     [&](const SerialDevice& a, const SerialDevice& b) { return order(a) < order(b); });
    return devices;
}

std::string ComPortTarget::summary() const {
    if (opens.empty()) return text::shown(port);
    return text::shown(port) + " opens " + text::shown(opens);
}

std::string ComPortTarget::line() const { return summary() + ": " + description; }

ComPortTarget describeComPort(const std::string& port, const CatalogRoots&) {
    ComPortTarget t;
    t.port = port;
    const auto path = resolvePortName(port, {});
    if (!path) {
        t.description = "not a port name (COM1 ... COM256, or \\\\.\\NAME)";
        return t;
    }
    t.opens = path->path;
    const std::string device = deviceBehind(path->path.substr(std::string(kDevicePrefix).size()));
    t.terminal = !device.empty();
    t.description = device.empty() ? "not present" : text::shown(device);
    return t;
}

// com1 … com12, then any further COMN the system has.
std::vector<ComPortTarget> describeComPorts(const CatalogRoots& roots) {
    std::vector<long> numbers;
    for (long n = 1; n <= protocol::kListedPorts; ++n) numbers.push_back(n);
    for (const SerialDevice& d : listSerialDevices(roots))
        if (const long n = comNumber(d.name);
            n > protocol::kListedPorts && std::find(numbers.begin(), numbers.end(), n) == numbers.end())
            numbers.push_back(n);
    std::vector<ComPortTarget> ports;
    for (long n : numbers) ports.push_back(describeComPort("com" + std::to_string(n), roots));
    return ports;
}

std::vector<std::string> deviceLines(const CatalogRoots& roots) {
    std::vector<std::string> lines;
    for (const SerialDevice& d : listSerialDevices(roots)) lines.push_back(text::shown(d.line()));
    if (lines.empty()) lines.push_back("no serial device present");
    return lines;
}

std::vector<std::string> portsReport(const CatalogRoots& roots) {
    std::vector<std::string> lines;
    for (const ComPortTarget& t : describeComPorts(roots)) lines.push_back(t.line());
    for (std::string& line : deviceLines(roots)) lines.push_back(std::move(line));
    return lines;
}

ComPortTarget assignComPort(const std::string&, const SerialDevice&, const CatalogRoots&) {
    throw text::VtError("Windows names its ports itself: a port's number is changed in the Device Manager");
}

}  // namespace commapi
