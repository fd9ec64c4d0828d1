#include "serial/portname.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <utility>

#include "files/errno_text.h"
#include "files/paths.h"
#include "serial/unit_record.h"

namespace commapi {
namespace {

// The N of "comN" (any case, N from 1, no leading zero, at most six digits), as its digits.
std::optional<std::string> comNumber(const std::string& name) {
    if (name.size() < 4) return std::nullopt;
    for (int i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return std::nullopt;
    }
    const std::string digits = name.substr(3);
    if (digits.size() > 6 || digits[0] == '0') return std::nullopt;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    return digits;
}

constexpr files::Links kFollow = files::Links::FollowTrusted;

// The folders that must be the user's alone: from the home, when the config home lies in it
// (~/.config), else from the config home itself, down to the aliases' folder.
std::pair<std::string, std::string> foldersToCheck(const std::string& configHome) {
    const std::string below = "vtconfig/ports";
    const char* variable = std::getenv("HOME");
    std::string userHome = variable && *variable == '/' ? variable : "";
    while (userHome.size() > 1 && userHome.back() == '/') userHome.pop_back();
    if (userHome.size() > 1 && configHome.starts_with(userHome + "/"))
        return {userHome, configHome.substr(userHome.size() + 1) + "/" + below};
    return {configHome, below};
}

PortPath refusedAlias(const std::string& alias, const files::Walked& walked) {
    PortPath p{alias, false, walked.error};
    if (!walked.refusedAt.empty()) p.untrusted = files::refusedText(walked);
    return p;
}

// The port opens what the walk found; a link on the way that is not followed refuses it.
PortPath leadingTo(PortPath p, files::Walked device) {
    if (!device.refusedAt.empty()) {
        p.refused = device.error;
        p.untrusted = files::refusedText(device);
    }
    p.device = std::move(device);
    return p;
}

}  // namespace

bool isDevicePath(const std::string& name) { return name.find('/') != std::string::npos; }

std::optional<PortPath> resolvePortName(const std::string& name, const std::string& home,
                                        const std::string& devFolder) {
    if (isDevicePath(name)) return leadingTo(PortPath{name}, files::walkPath(name, kFollow));
    if (!comNumber(name)) return std::nullopt;
    if (home.empty()) return PortPath{{}, false, kNoConfigHome};
    const std::string alias = *portAliasPath(name, home);
    const std::string ttyS = devFolder + "/ttyS" + std::to_string(std::stol(name.substr(3)) - 1);
    const auto [top, below] = foldersToCheck(home);
    const files::Walked folder = files::walkOwnFolders(top, below);
    if (folder.error == ENOENT) return leadingTo(PortPath{ttyS}, files::walkPath(ttyS, kFollow));
    if (folder.error != 0) return refusedAlias(alias, folder);
    const files::Walked entry = files::walkFrom(folder, *portAliasName(name), files::Links::Replace);
    if (entry.error == ENOENT) return leadingTo(PortPath{ttyS}, files::walkPath(ttyS, kFollow));
    if (entry.error != 0) return refusedAlias(alias, entry);
    PortPath p = leadingTo(PortPath{alias, S_ISLNK(entry.look.st_mode)}, files::walkFrom(folder, entry.name, kFollow));
    if (p.alias && !p.refused && aliasMaker(alias) == AliasMaker::EndedUnit) p.refused = kUnitEnded;
    return p;
}

std::optional<std::string> portAliasName(const std::string& name) {
    const auto digits = comNumber(name);
    if (!digits) return std::nullopt;
    return "com" + *digits;
}

std::optional<std::string> portAliasPath(const std::string& name, const std::string& home) {
    const auto alias = portAliasName(name);
    if (!alias || home.empty()) return std::nullopt;
    return portAliasFolder(home) + "/" + *alias;
}

std::string portAliasFolder(const std::string& home) { return home + "/vtconfig/ports"; }

int makePortAliasFolder(const std::string& home) {
    if (home.empty()) return kNoConfigHome;
    const std::string folder = portAliasFolder(home);
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        if (::mkdir(folder.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    int err = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (err == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) != 0 && ::fchmod(fd, st.st_mode & 0700) != 0)
        err = errno;
    ::close(fd);
    return err;
}

std::string configHome() { return files::configHome(); }

std::string noConfigHomeText() { return "neither XDG_CONFIG_HOME nor HOME names a folder for its alias"; }

}  // namespace commapi
