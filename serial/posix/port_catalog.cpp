#include "serial/port_catalog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <tuple>

#include "files/errno_text.h"
#include "protocol/listed_ports.h"
#include "serial/portname.h"
#include "serial/posix/sysfs_tty.h"
#include "serial/unit_record.h"
#include "text/shown.h"

namespace commapi {
namespace fs = std::filesystem;
namespace {

// Splits "ttyS10" into ("ttyS", 10) so that ttyS2 comes before ttyS10.
std::tuple<std::string, long, std::string> nameOrder(const std::string& name) {
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    const std::string number = name.substr(digits);
    const long n = number.empty() || number.size() > 9 ? -1 : std::stol(number);
    return {name.substr(0, digits), n, name};
}

// Each node udev gave a stable name, by the node's real path; of several names the first in
// name order.
std::map<fs::path, std::string> stableNames(const CatalogRoots& roots) {
    std::vector<std::string> links;
    std::error_code ec;
    for (fs::directory_iterator it(roots.byId, ec), end; !ec && it != end; it.increment(ec))
        links.push_back(it->path().filename().string());
    std::sort(links.begin(), links.end());
    std::map<fs::path, std::string> byNode;
    for (const std::string& name : links) {
        const std::string link = roots.byId + "/" + name;
        const fs::path node = fs::canonical(link, ec);
        if (!ec) byNode.emplace(node, link);
    }
    return byNode;
}

// What the node at path is, following links, and whether it is a terminal; with the node's own
// name when the operator sees another one (shownAs).
std::string describeNode(const std::string& path, const std::string& shownAs, const CatalogRoots& roots,
                         bool& terminal) {
    std::error_code ec, devError;
    const fs::path real = fs::canonical(path, ec);
    if (ec) return "not present";
    const fs::path dev = fs::canonical(roots.dev, devError);
    if (!devError && real.parent_path() == dev) {
        if (const auto facts = readTtyFacts(roots.sys, real.filename().string())) {
            const std::string node = roots.dev + "/" + real.filename().string();
            terminal = true;
            return describeTty(*facts) + (node == shownAs ? "" : ", on " + node);
        }
    }
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0) return "not present";
    if (!S_ISCHR(st.st_mode)) return "not a device";
    terminal = !devError && real.parent_path() == dev / "pts";
    return terminal ? "pseudo-terminal" : "not a serial device";
}

}  // namespace

CatalogRoots systemRoots() {
    CatalogRoots roots;
    roots.configHome = configHome();
    return roots;
}

std::string SerialDevice::line() const {
    return path + (stableName.empty() ? "" : " (" + stableName + ")") + ": " + description;
}

std::vector<SerialDevice> listSerialDevices(const CatalogRoots& roots) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(roots.sys + "/class/tty", ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return nameOrder(a) < nameOrder(b); });
    const auto stable = stableNames(roots);
    std::vector<SerialDevice> devices;
    for (const std::string& name : names) {
        const auto facts = readTtyFacts(roots.sys, name);
        if (!facts) continue;
        SerialDevice d;
        d.name = name;
        d.path = roots.dev + "/" + name;
        d.description = describeTty(*facts);
        if (const auto s = stable.find(fs::weakly_canonical(d.path, ec)); !ec && s != stable.end())
            d.stableName = s->second;
        devices.push_back(std::move(d));
    }
    return devices;
}

std::string ComPortTarget::summary() const {
    if (opens.empty()) return text::shown(port);
    return text::shown(port) + " opens " + text::shown(opens) + (alias ? " (alias)" : "");
}

std::string ComPortTarget::line() const { return summary() + ": " + description; }

ComPortTarget describeComPort(const std::string& port, const CatalogRoots& roots) {
    ComPortTarget t;
    t.port = port;
    const auto path = resolvePortName(port, roots.configHome, roots.dev);
    if (!path) {
        t.description = "not a port name (comN or a device path)";
        return t;
    }
    t.refused = path->refused != 0;
    if (path->refused == kNoConfigHome) {
        t.description = noConfigHomeText();
        return t;
    }
    const std::string alias = text::shown(path->path);
    if (t.refused && !path->untrusted.empty()) {
        const bool isAlias = path->path == portAliasPath(port, roots.configHome);
        t.description = (isAlias ? "its alias " + alias + " is not used: " : "") + path->untrusted;
        return t;
    }
    if (t.refused && !path->alias) {
        t.description = "its alias " + alias + " cannot be looked at: " + files::englishErrnoText(path->refused);
        return t;
    }
    t.alias = path->alias;
    std::error_code ec;
    const fs::path target = t.alias ? fs::read_symlink(path->path, ec) : fs::path(path->path);
    t.opens = ec ? path->path : target.string();
    // The terminal an ended unit's alias names may be somebody else's by now: not looked at.
    t.description = t.refused ? endedUnitText(port) : text::shown(describeNode(path->path, t.opens, roots, t.terminal));
    return t;
}

std::vector<ComPortTarget> describeComPorts(const CatalogRoots& roots) {
    std::vector<long> numbers;
    for (long n = 1; n <= protocol::kListedPorts; ++n) numbers.push_back(n);
    std::error_code ec;
    fs::directory_iterator it, end;  // without a home there are no aliases to list
    if (!roots.configHome.empty()) it = fs::directory_iterator(portAliasFolder(roots.configHome), ec);
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto [prefix, n, whole] = nameOrder(name);
        if (prefix == "com" && n > protocol::kListedPorts &&
            portAliasPath(name, roots.configHome) == it->path().string())
            numbers.push_back(n);
    }
    std::sort(numbers.begin() + protocol::kListedPorts, numbers.end());
    std::vector<ComPortTarget> ports;
    for (long n : numbers) ports.push_back(describeComPort("com" + std::to_string(n), roots));
    return ports;
}

std::vector<std::string> deviceLines(const CatalogRoots& roots) {
    std::vector<std::string> lines;
    for (const SerialDevice& d : listSerialDevices(roots)) lines.push_back(d.line());
    if (lines.empty()) lines.push_back("no serial device present");
    return lines;
}

std::vector<std::string> portsReport(const CatalogRoots& roots) {
    std::vector<std::string> lines;
    for (const ComPortTarget& t : describeComPorts(roots)) lines.push_back(t.line());
    for (std::string& line : deviceLines(roots)) lines.push_back(std::move(line));
    return lines;
}

}  // namespace commapi
