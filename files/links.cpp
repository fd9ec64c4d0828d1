#include "files/links.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

#include "files/paths.h"

namespace files {

namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit on a path walk

bool trusted(const struct stat& link, const std::string& directory) {
    if (link.st_uid == ::geteuid()) return true;
    struct stat dir {};
    return ::stat(directory.c_str(), &dir) == 0 && link.st_uid == dir.st_uid;
}

int readLink(const std::string& path, std::string& target) {
    std::vector<char> buf(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < buf.size()) {
            target.assign(buf.data(), static_cast<std::size_t>(n));
            return 0;
        }
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

Resolved followTrustedLinks(const std::string& path, const std::function<bool(const std::string&)>& stopAt) {
    Resolved r{0, path};
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        if (stopAt && stopAt(r.path)) return r;
        struct stat st {};
        if (::lstat(r.path.c_str(), &st) != 0) {
            r.error = errno;
            return r;
        }
        if (!S_ISLNK(st.st_mode)) return r;
        const std::string directory = parentOf(r.path);
        if (!trusted(st, directory)) {
            r.error = EACCES;
            return r;
        }
        std::string target;
        if (const int err = readLink(r.path, target)) {
            r.error = err;
            return r;
        }
        r.path = (!target.empty() && target.front() == '/') ? target : directory + "/" + target;
    }
    r.error = ELOOP;
    return r;
}

}  // namespace files
