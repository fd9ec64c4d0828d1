// The port-name rule on Windows: the system names the ports, so "comN" (any case, N 1 ... 256)
// opens \\.\COMN and a name in the device namespace (\\.\CNCA0) is opened as it is given. There
// are no aliases, so no folder for them either.
#include "serial/portname.h"

#include <cctype>

#include "files/paths.h"

namespace commapi {
namespace {

constexpr int kLastComPort = 256;

// N of "comN" (any case, N from 1, no leading zero); 0 for any other name.
int comNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return 0;
    for (int i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return 0;
    }
    if (name[3] == '0') return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n <= kLastComPort ? n : 0;
}

}  // namespace

bool isDevicePath(const std::string& name) { return name.rfind("\\\\.\\", 0) == 0 && name.size() > 4; }

std::optional<PortPath> resolvePortName(const std::string& name, const std::string&, const std::string&) {
    if (isDevicePath(name)) return PortPath{name};
    const int n = comNumber(name);
    if (n == 0) return std::nullopt;
    return PortPath{"\\\\.\\COM" + std::to_string(n)};
}

std::optional<std::string> portAliasName(const std::string& name) {
    const int n = comNumber(name);
    if (n == 0) return std::nullopt;
    return "com" + std::to_string(n);
}

std::optional<std::string> portAliasPath(const std::string&, const std::string&) { return std::nullopt; }

std::string portAliasFolder(const std::string& home) { return home + "/vtconfig/ports"; }

int makePortAliasFolder(const std::string&) { return ENOTSUP; }

std::string configHome() { return files::configHome(); }

std::string noConfigHomeText() { return "neither XDG_CONFIG_HOME nor APPDATA names a folder"; }

}  // namespace commapi
