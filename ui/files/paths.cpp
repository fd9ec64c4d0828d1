#include "ui/files/paths.h"

#include <unistd.h>
#include <cerrno>
#include <climits>
#include <vector>

namespace files {

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

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    const std::size_t end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

}  // namespace files
