#include "serial/posix/open_reason.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "files/errno_text.h"
#include "serial/commapi.h"
#include "serial/portname.h"
#include "serial/unit_record.h"
#include "text/shown.h"

namespace commapi {
namespace {

constexpr const char* kJoinGroup = "add your user to the group that owns the device, e.g. dialout, and log in again";

std::string inUse(const OpenFailure& f) {
    if (f.holder > 0) {
        std::string text = "in use by process " + std::to_string(f.holder);
        if (!f.holderName.empty()) text += " (" + f.holderName + ")";
        return text;
    }
    // Exclusive mode is the terminal's own and outlives the program that set it while another
    // open keeps the terminal (on real hardware it clears at the last close).
    if (f.error == EBUSY)
        return "in use: left in exclusive mode by a program that has ended (no program holds its lock)";
    return "in use by another program";
}

// What the failure was, in a few words, whatever the locale.
std::string whatFailed(const OpenFailure& f) {
    switch (f.error) {
        case EACCES:
        case EPERM: {
            std::string text = "permission denied";
            if (f.joiningHelps) text += " (group " + f.group + "); " + kJoinGroup;
            return text;
        }
        case EBUSY:
        case EWOULDBLOCK: return inUse(f);
        case kUnitEnded: return endedUnitText(f.port);
        default: break;
    }
    if (!f.kind.empty()) return "not a serial device (" + f.kind + ")";
    switch (f.error) {
        case ENOENT:
        case ENODEV:
        case ENXIO: return "no such device";
        case ENOTTY: return "not a serial device";
        case EINVAL: return "the device does not take the port's settings";
        default: break;
    }
    return files::englishErrnoText(f.error);
}

// The first line of a file of the proc file system, without its line end ("" when unreadable).
std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The device an alias names: where its links end, or its own target when that is missing.
std::string aliasTarget(const std::string& alias) {
    if (char* real = ::realpath(alias.c_str(), nullptr)) {
        std::string path = real;
        std::free(real);
        return path;
    }
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(alias.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : alias;
}

bool userIsIn(gid_t gid) {
    if (::getegid() == gid) return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    if (::getgroups(n, groups.data()) != n) return false;
    for (gid_t g : groups) {
        if (g == gid) return true;
    }
    return false;
}

std::string groupName(gid_t gid) {
    if (const group* g = ::getgrgid(gid)) return g->gr_name;
    return std::to_string(gid);
}

void lookUpPermission(OpenFailure& f, const struct stat& st) {
    f.group = groupName(st.st_gid);
    f.joiningHelps = (st.st_mode & S_IRGRP) && (st.st_mode & S_IWGRP) && !userIsIn(st.st_gid);
}

void lookUpHolder(OpenFailure& f, const struct stat& st) {
    f.holder = lockHolder(procLocks(), st.st_dev, st.st_ino);
    if (f.holder > 0) f.holderName = firstLine("/proc/" + std::to_string(f.holder) + "/comm");
}

}  // namespace

std::string openFailureText(const OpenFailure& f) {
    if (f.error == 0) return {};
    if (f.port.empty()) return "No port is selected";
    if (f.noAliasFolder) return "Cannot open " + f.port + ": " + noConfigHomeText();
    std::string where = text::shown(f.port);
    if (f.device.empty()) return "Cannot open " + where + ": not a port name (com1, com2, ... or a device path)";
    const std::string device = text::shown(f.device);
    if (f.aliasUnreadable && !f.untrusted.empty())
        return "Cannot open " + where + ": its alias " + device + " is not used: " + f.untrusted;
    if (f.aliasUnreadable)
        return "Cannot open " + where + ": its alias " + device +
               " cannot be looked at: " + files::englishErrnoText(f.error);
    if (!f.untrusted.empty()) return "Cannot open " + where + ": " + f.untrusted;
    if (f.device != f.port) where += " (" + device + ")";
    return "Cannot open " + where + ": " + whatFailed(f);
}

OpenFailure lookUpOpenFailure(const std::string& port, int error) {
    OpenFailure f;
    f.port = port;
    f.error = error;
    const auto path = resolvePortName(port, configHome());
    if (!path) return f;
    if (path->refused == error && error == kNoConfigHome) {
        f.noAliasFolder = true;
        return f;
    }
    if (path->refused == error && error != kUnitEnded) {
        f.device = path->path;
        f.aliasUnreadable = path->path == portAliasPath(port, configHome());  // else a link on a path's way
        f.untrusted = path->untrusted;
        return f;
    }
    f.device = path->alias ? aliasTarget(path->path) : path->path;
    struct stat st {};
    if (::stat(f.device.c_str(), &st) != 0) return f;
    if (!S_ISCHR(st.st_mode)) f.kind = files::fileKind(st.st_mode);
    if (error == EACCES || error == EPERM) lookUpPermission(f, st);
    if (error == EBUSY || error == EWOULDBLOCK) lookUpHolder(f, st);
    return f;
}

std::string openFailureReason(const std::string& port, int error) {
    return error == 0 ? std::string() : openFailureText(lookUpOpenFailure(port, error));
}

}  // namespace commapi
