#include "files/paths.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "files/links.h"

namespace files {
namespace {

bool isAbsolute(const char* path) { return path && *path == '/'; }

}  // namespace

std::string currentDirectory() {
    std::vector<char> buf(PATH_MAX);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

std::string joinPath(const std::string& dir, std::string_view name) {
    std::string p = dir;
    if (p.empty() || p.back() != '/') p += '/';
    p += name;
    return p;
}

std::string xdgHome(const char* variable, std::string_view belowHome) {
    const char* xdg = std::getenv(variable);
    if (isAbsolute(xdg)) return xdg;
    const char* home = std::getenv("HOME");
    return isAbsolute(home) ? joinPath(home, belowHome) : std::string();
}

std::string stateHome() { return xdgHome("XDG_STATE_HOME", ".local/state"); }

std::string configHome() { return xdgHome("XDG_CONFIG_HOME", ".config"); }

int checkPrivateFolder(const std::string& dir) {
    const Walked w = walkPath(dir, Links::FollowTrusted);
    if (w.error != 0) return w.error;
    if (!S_ISDIR(w.look.st_mode)) return ENOTDIR;
    return w.look.st_uid == ::geteuid() && (w.look.st_mode & (S_IWGRP | S_IWOTH)) == 0 ? 0 : EPERM;
}

int makePrivateDirectories(const std::string& dir) {
    Walked w = walkPath(dir, Links::FollowTrusted);
    if (w.error == ENOENT && !w.missing) {
        const std::string parent = parentOf(dir);
        if (parent == dir) return ENOENT;
        if (const int err = makePrivateDirectories(parent)) return err;
        w = walkPath(dir, Links::FollowTrusted);
    }
    if (w.error == 0) return S_ISDIR(w.look.st_mode) ? 0 : ENOTDIR;
    if (!w.missing) return w.error;
    return ::mkdirat(w.folder.get(), w.name.c_str(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    const std::size_t end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

}  // namespace files
