#include "files/links.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <deque>
#include <optional>
#include <vector>

#include "files/paths.h"

namespace files {

namespace {

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

// One name looked at, not followed.
struct Look {
    int error = 0;
    Fd entry;
    struct stat st {};
};

// Where the walk stands: the folders it went through (from the root, or from where it began)
// and the names of the whole way from the root.
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
    Look look(const std::string& name) const {
        Look l;
        l.entry = openPath(top(), name.c_str());
        if (!l.entry.valid() || ::fstat(l.entry.get(), &l.st) != 0) l.error = errno;
        return l;
    }
    // "." stays where it is and ".." goes up: true; any other name is the walk's to look at.
    bool moves(const std::string& name) {
        if (name == "..") up();
        return name == "." || name == "..";
    }
    void enter(Fd folder, const std::string& name) {
        folders.push_back(std::move(folder));
        names.push_back(name);
    }
    void up() {
        if (names.empty()) return;
        names.pop_back();
        if (folders.size() > 1)
            folders.pop_back();
        else  // above the folder the walk began in
            folders.back() = openPath(top(), "..");
    }
    void toRoot() {
        folders.clear();
        folders.push_back(Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)));
        names.clear();
    }
    // Begins at folder, whose absolute path is path.
    void beginAt(Fd folder, const std::string& path) {
        folders.clear();
        folders.push_back(std::move(folder));
        names.clear();
        for (std::string& n : namesOf(path)) names.push_back(std::move(n));
    }
};

Walked failed(int error) {
    Walked w;
    w.error = error;
    return w;
}

// A link that is not followed, or a folder that is not the user's alone: the walk names it.
Walked refused(int error, std::string at, const struct stat& st) {
    Walked w = failed(error);
    w.refusedAt = std::move(at);
    w.look = st;
    return w;
}

// The last name is absent: where it would be.
Walked missingAt(const Way& way, const std::string& name) {
    Walked w = failed(ENOENT);
    w.missing = true;
    w.folder = openPath(way.top(), ".");
    w.name = name;
    w.path = way.pathOf(name);
    return w;
}

Walked stoppedAt(const std::string& path) {
    Walked w;
    w.stopped = true;
    w.path = path;
    return w;
}

Walked foundAt(const Way& way, const std::string& name, Look look) {
    Walked w;
    w.path = way.pathOf(name);
    w.folder = openPath(way.top(), ".");
    w.name = name;
    w.entry = std::move(look.entry);
    w.look = look.st;
    if (!w.folder.valid()) w.error = errno;
    return w;
}

// The path ends at a folder ("/", "a/..", "a/."): that folder is the entry.
Walked endsAtFolder(Way& way) {
    Walked w;
    w.path = way.here();
    w.name = way.names.empty() ? "." : way.names.back();
    w.entry = openPath(way.top(), ".");
    way.up();
    w.folder = openPath(way.top(), ".");
    if (!w.entry.valid() || !w.folder.valid() || ::fstat(w.entry.get(), &w.look) != 0) w.error = errno;
    return w;
}

// A link that may be followed (trusted, within kMaxLinks on the way): its names put before the
// rest, from the root for an absolute one. Why not, as the walk's outcome, or nullopt.
std::optional<Walked> follow(Way& way, const Look& link, const std::string& path, int& links,
                             std::deque<std::string>& rest) {
    if (!trustedOwner(link.st)) return refused(EACCES, path, link.st);
    if (++links > kMaxLinks) return failed(ELOOP);
    std::string target;
    if (const int err = readLink(link.entry.get(), target)) return failed(err);
    if (target.empty()) return failed(ENOENT);
    if (target.front() == '/') way.toRoot();
    const std::deque<std::string> names = namesOf(target);
    rest.insert(rest.begin(), names.begin(), names.end());
    return std::nullopt;
}

// The rule, one name at a time: "." stays, ".." goes up; a link is followed (unless it is the
// last name and is to be replaced); the last name is the entry; any other name must be a folder,
// which is entered.
Walked walk(Way way, std::deque<std::string> rest, Links last, const std::function<bool(const std::string&)>& stopAt) {
    int links = 0;
    while (!rest.empty()) {
        const std::string name = std::move(rest.front());
        rest.pop_front();
        const bool isLast = rest.empty();
        if (way.moves(name)) continue;
        const std::string path = way.pathOf(name);
        if (stopAt && stopAt(path)) return isLast ? stoppedAt(path) : failed(ENOTDIR);
        Look look = way.look(name);
        if (look.error != 0) return look.error == ENOENT && isLast ? missingAt(way, name) : failed(look.error);
        if (S_ISLNK(look.st.st_mode) && !(isLast && last == Links::Replace)) {
            if (std::optional<Walked> refusal = follow(way, look, path, links, rest)) return std::move(*refusal);
        } else if (isLast) {
            return foundAt(way, name, std::move(look));
        } else if (S_ISDIR(look.st.st_mode)) {
            way.enter(std::move(look.entry), name);
        } else {
            return failed(ENOTDIR);
        }
    }
    return endsAtFolder(way);
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

bool trustedOwner(const struct stat& st) { return st.st_uid == ::geteuid() || st.st_uid == 0; }

Walked walkPath(const std::string& path, Links last, const std::function<bool(const std::string&)>& stopAt) {
    if (path.empty()) return failed(ENOENT);
    Way way;
    if (path.front() == '/') {
        way.toRoot();
    } else {
        // From the current directory itself: the folders above it need not be searchable.
        const std::string cwd = currentDirectory();
        if (cwd.front() != '/') return failed(ENOENT);  // it is gone
        way.beginAt(Fd(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)), cwd);
    }
    if (!way.folders.back().valid()) return failed(errno);
    return walk(std::move(way), namesOf(path), last, stopAt);
}

Walked walkFrom(const Walked& folder, const std::string& path, Links last) {
    if (path.empty()) return failed(ENOENT);
    Way way;
    if (path.front() == '/')
        way.toRoot();
    else if (!folder.entry.valid())  // the walk to the folder found nothing to walk from
        return failed(folder.error != 0 ? folder.error : EBADF);
    else
        way.beginAt(Fd(::fcntl(folder.entry.get(), F_DUPFD_CLOEXEC, 0)), folder.path);
    if (!way.folders.back().valid()) return failed(errno);
    return walk(std::move(way), namesOf(path), last, {});
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
