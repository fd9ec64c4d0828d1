#include "tools/vtctl/port_report.h"

#include "tools/vtctl/system.h"

namespace vtctl {

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
