#include "files/paths.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
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

namespace {

// A folder that nobody but the user and root may change.
int ownFolderProblem(const Walked& w) {
    if (w.error != 0) return w.error;
    if (!S_ISDIR(w.look.st_mode)) return ENOTDIR;
    return trustedOwner(w.look) && (w.look.st_mode & (S_IWGRP | S_IWOTH)) == 0 ? 0 : EPERM;
}

Walked checked(Walked w) {
    if (const int err = ownFolderProblem(w); err != 0 && w.error == 0) {
        w.error = err;
        if (err == EPERM) w.refusedAt = w.path;
    }
    return w;
}

}  // namespace

Walked walkOwnFolders(const std::string& top, const std::string& below) {
    Walked w = checked(walkPath(top, Links::FollowTrusted));
    std::size_t from = 0;
    while (w.error == 0 && from < below.size()) {
        const std::size_t slash = std::min(below.find('/', from), below.size());
        if (slash > from) w = checked(walkFrom(w, below.substr(from, slash - from), Links::FollowTrusted));
        from = slash + 1;
    }
    return w;
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
