// Paths on Windows: either separator, drive letters, and the homes of the user's profile.
#include "files/paths.h"

#include <direct.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "files/win32/system_error.h"

namespace files {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// "C:\x", "C:/x" or "\\server\share".
bool isAbsolute(const char* path) {
    if (!path || !*path) return false;
    if (isSeparator(path[0]) && isSeparator(path[1])) return true;
    return std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && isSeparator(path[2]);
}

// $variable when it is absolute, else $fallback (a folder of the user's profile), else "".
std::string homeOf(const char* variable, const char* fallback) {
    const char* xdg = std::getenv(variable);
    if (isAbsolute(xdg)) return xdg;
    const char* folder = std::getenv(fallback);
    return isAbsolute(folder) ? folder : std::string();
}

}  // namespace

std::string currentDirectory() {
    char* dir = ::_getcwd(nullptr, 0);
    if (!dir) return ".";
    std::string path = dir;
    std::free(dir);
    return path;
}

std::string joinPath(const std::string& dir, std::string_view name) {
    std::string p = dir;
    if (p.empty() || !isSeparator(p.back())) p += '/';
    p += name;
    return p;
}

std::string xdgHome(const char* variable, std::string_view belowHome) {
    const char* xdg = std::getenv(variable);
    if (isAbsolute(xdg)) return xdg;
    const char* home = std::getenv("USERPROFILE");
    return isAbsolute(home) ? joinPath(home, belowHome) : std::string();
}

// Where Windows programs keep them: the local and the roaming application data.
std::string stateHome() { return homeOf("XDG_STATE_HOME", "LOCALAPPDATA"); }

std::string configHome() { return homeOf("XDG_CONFIG_HOME", "APPDATA"); }

// A folder's access is its ACL, which in the user's profile gives it to the user alone; a
// folder elsewhere is taken as the user made it.
Walked walkOwnFolders(const std::string& top, const std::string& below) {
    Walked w = walkPath(below.empty() ? top : joinPath(top, below), Links::FollowTrusted);
    if (w.error == 0 && (w.look.st_mode & S_IFMT) != S_IFDIR) w.error = ENOTDIR;
    return w;
}

int makePrivateDirectories(const std::string& dir) {
    const win32::Found f = win32::look(dir);
    if (f.error == 0) return f.folder ? 0 : ENOTDIR;
    if (f.error != ENOENT) return f.error;
    const std::string parent = parentOf(f.path);
    if (parent == f.path) return ENOENT;
    if (const int err = makePrivateDirectories(parent)) return err;
    return ::_mkdir(f.path.c_str()) == 0 || errno == EEXIST ? 0 : errno;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "." : ".";
    const std::size_t end = path.find_last_not_of("/\\", slash);
    if (end == std::string::npos) return path.substr(0, 1);
    if (end == 1 && path[1] == ':') return path.substr(0, 3);  // "C:\"
    return path.substr(0, end + 1);
}

}  // namespace files
