#include "tools/vtctl/port_report.h"

#include <unistd.h>

#include "serial/portname.h"

namespace vtctl {
namespace {

// Whether this user may open the terminal a port leads to; "" when it leads to none (nothing,
// a refused alias, a file, a device that is no terminal: vtctl would not open those either).
std::string accessNote(const commapi::ComPortTarget& t, const commapi::CatalogRoots& roots) {
    const auto path = commapi::resolvePortName(t.port, roots.configHome, roots.dev);
    if (!path || !t.terminal || t.refused) return "";
    return ::access(path->path.c_str(), R_OK | W_OK) == 0 ? "; you may open it" : "; you may not open it";
}

}  // namespace

std::vector<std::string> portsLines(const std::vector<std::string>& names, const commapi::CatalogRoots& roots) {
    std::vector<commapi::ComPortTarget> targets;
    if (names.empty())
        targets = commapi::describeComPorts(roots);
    else
        for (const std::string& name : names) targets.push_back(commapi::describeComPort(name, roots));
    std::vector<std::string> lines;
    for (const commapi::ComPortTarget& t : targets) lines.push_back(t.line() + accessNote(t, roots));
    for (std::string& line : commapi::deviceLines(roots)) lines.push_back(std::move(line));
    return lines;
}

}  // namespace vtctl
