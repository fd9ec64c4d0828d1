#include "files/links.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <deque>
#include <vector>

#include "files/paths.h"

namespace files {

namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit on a path walk

// The names of a path in order; a trailing slash keeps a "." so the last name must be a folder.
std::deque<std::string> namesOf(const std::string& path) {
    std::deque<std::string> names;
    std::size_t from = 0;
    while (from < path.size()) {
        const std::size_t slash = path.find('/', from);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > from) names.push_back(path.substr(from, end - from));
        from = end + 1;
    }
    if (!path.empty() && path.back() == '/' && !names.empty()) names.push_back(".");
    return names;
}

bool trusted(const struct stat& link, int folder) {
    if (link.st_uid == ::geteuid()) return true;
    struct stat dir {};
    return ::fstat(folder, &dir) == 0 && link.st_uid == dir.st_uid;
}

int readLink(int link, std::string& target) {
    std::vector<char> buf(256);
    for (;;) {
        const ssize_t n = ::readlinkat(link, "", buf.data(), buf.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < buf.size()) {
            target.assign(buf.data(), static_cast<std::size_t>(n));
            return 0;
        }
        buf.resize(buf.size() * 2);
    }
}

Fd openPath(int at, const char* name) { return Fd(::openat(at, name, O_PATH | O_NOFOLLOW | O_CLOEXEC)); }

// Where the walk stands: the folders it went through (from the root, or from the current
// directory for a relative path) and the names of the whole way from the root.
struct Way {
    std::vector<Fd> folders;
    std::vector<std::string> names;

    int top() const { return folders.back().get(); }
    std::string here() const {
        std::string p;
        for (const std::string& n : names) p += "/" + n;
        return p.empty() ? "/" : p;
    }
    std::string pathOf(const std::string& name) const { return names.empty() ? "/" + name : here() + "/" + name; }
    void up() {
        if (names.empty()) return;
        names.pop_back();
        if (folders.size() > 1)
            folders.pop_back();
        else  // above the folder a relative walk began in
            folders.back() = openPath(top(), "..");
    }
    void toRoot() {
        folders.clear();
        folders.push_back(Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)));
        names.clear();
    }
};

Walked failed(int error) {
    Walked w;
    w.error = error;
    return w;
}

}  // namespace

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
}

int Fd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Fd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

Walked walkPath(const std::string& path, Links last, const std::function<bool(const std::string&)>& stopAt) {
    if (path.empty()) return failed(ENOENT);
    Way way;
    if (path.front() == '/') {
        way.toRoot();
    } else {
        // From the current directory itself: the folders above it need not be searchable.
        const std::string cwd = currentDirectory();
        if (cwd.front() != '/') return failed(ENOENT);  // it is gone
        way.folders.push_back(Fd(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)));
        for (std::string& n : namesOf(cwd)) way.names.push_back(std::move(n));
    }
    if (!way.folders.back().valid()) return failed(errno);

    std::deque<std::string> rest = namesOf(path);
    int links = 0;
    while (!rest.empty()) {
        const std::string name = std::move(rest.front());
        rest.pop_front();
        if (name == ".") continue;
        if (name == "..") {
            way.up();
            continue;
        }
        Walked w;
        w.path = way.pathOf(name);
        if (stopAt && stopAt(w.path)) {
            w.stopped = true;
            return w;
        }
        Fd entry = openPath(way.top(), name.c_str());
        struct stat st {};
        if (!entry.valid() || ::fstat(entry.get(), &st) != 0) {
            w.error = errno;
            if (w.error == ENOENT && rest.empty()) {
                w.missing = true;
                w.folder = openPath(way.top(), ".");
                w.name = name;
            }
            return w;
        }
        if (S_ISLNK(st.st_mode) && !(rest.empty() && last == Links::Replace)) {
            if (!trusted(st, way.top())) return failed(EACCES);
            if (++links > kMaxLinks) return failed(ELOOP);
            std::string target;
            if (const int err = readLink(entry.get(), target)) return failed(err);
            if (target.empty()) return failed(ENOENT);
            if (target.front() == '/') way.toRoot();
            const std::deque<std::string> more = namesOf(target);
            rest.insert(rest.begin(), more.begin(), more.end());
            continue;
        }
        if (rest.empty()) {
            w.folder = openPath(way.top(), ".");
            w.name = name;
            w.entry = std::move(entry);
            w.look = st;
            if (!w.folder.valid()) w.error = errno;
            return w;
        }
        if (!S_ISDIR(st.st_mode)) return failed(ENOTDIR);
        way.folders.push_back(std::move(entry));
        way.names.push_back(name);
    }
    // The path ends at a folder ("/", "a/..", "a/."): that folder is the entry.
    Walked w;
    w.path = way.here();
    w.name = way.names.empty() ? "." : way.names.back();
    w.entry = openPath(way.top(), ".");
    way.up();
    w.folder = openPath(way.top(), ".");
    if (!w.entry.valid() || !w.folder.valid() || ::fstat(w.entry.get(), &w.look) != 0) w.error = errno;
    return w;
}

Fd openFound(const Walked& walked, int flags, int& error) {
    error = 0;
    const int extra = O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
    // The descriptor reopened: the same file whatever its name holds by now.
    Fd fd(::open(("/proc/self/fd/" + std::to_string(walked.entry.get())).c_str(), flags | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid() && errno == ENOENT)  // no /proc: by name, and only if it is still the same file
        fd.reset(::openat(walked.folder.get(), walked.name.c_str(), flags | extra));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        error = errno == ELOOP ? EAGAIN : errno;
    else if (st.st_dev != walked.look.st_dev || st.st_ino != walked.look.st_ino)
        error = EAGAIN;
    if (error != 0) fd.reset();
    return fd;
}

}  // namespace files
