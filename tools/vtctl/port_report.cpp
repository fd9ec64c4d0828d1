#include "tools/vtctl/port_report.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "serial/posix/portname.h"

namespace vtctl {
namespace {

// What a path names: "path", or "path -> target" for a link.
std::string pathAndTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return path;
    return path + " -> " + std::string(target, static_cast<std::size_t>(n));
}

// Whether the device at path is there, and ours to open.
std::string stateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? "not present" : "cannot be looked at";
    if (!S_ISCHR(st.st_mode)) return "present, not a serial device";
    if (::access(path.c_str(), R_OK | W_OK) != 0) return "present, no access for this user";
    return "present, can be opened";
}

}  // namespace

std::string describePort(const std::string& name, const std::string& configHome) {
    std::string line = name;
    line.append(name.size() < 6 ? 6 - name.size() : 1, ' ');
    const auto path = commapi::resolvePortName(name, configHome);
    if (!path) return line + "names no device";
    return line + pathAndTarget(*path) + "   " + stateOf(*path);
}

}  // namespace vtctl
