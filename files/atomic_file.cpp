#include "files/atomic_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>

#include "files/file_ops.h"

namespace files {

namespace {

// What the new file replaces.
struct Target {
    int error = 0;
    bool existing = false;  // a regular file is there: its owner and mode carry over
    struct stat old {};
};

Target targetOf(const Walked& w) {
    Target t;
    if (w.error != 0) {
        t.error = w.missing ? 0 : w.error;
        return t;
    }
    if (S_ISLNK(w.look.st_mode)) return t;  // walked with Links::Replace: the link itself goes
    if (!S_ISREG(w.look.st_mode)) {
        t.error = EACCES;
        return t;
    }
    t.existing = true;
    t.old = w.look;
    if ((t.old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || sharedFileOfAnother(w))
        t.error = EACCES;
    else if (::faccessat(w.folder.get(), w.name.c_str(), W_OK, AT_EACCESS) != 0)
        t.error = errno;
    return t;
}

// The temporary file's name beside name, cut so that it fits where name itself just fits.
std::string temporaryName(const std::string& name, unsigned attempt) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      (static_cast<std::uint64_t>(::getpid()) << 32) ^ (attempt * 0x9E3779B97F4A7C15ull);
    std::string suffix = ".tmp.";
    for (int i = 0; i < 6; ++i, x /= 62) suffix += kLetters[x % 62];
    return name.substr(0, std::min<std::size_t>(name.size(), NAME_MAX - suffix.size())) + suffix;
}

// The signals that end a program by default and that are sent to stop one: held back while a
// temporary file has a name, so that none ends the program with the temporary file left behind.
// A signal that comes meanwhile is delivered once the file is in place (or gone).
class HeldSignals {
public:
    HeldSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (int s : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGXFSZ, SIGXCPU, SIGVTALRM,
                      SIGPROF})
            sigaddset(&held, s);
        ::pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t before_;
};

mode_t currentUmask() {
    mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

// Owner and group go first: a change of owner would clear set-ID bits set before it.
int takeOverOwnerAndMode(int fd, const Target& t) {
    mode_t mode = 0666 & ~currentUmask();
    if (t.existing) {
        // Only root may give a file away; anyone may keep a group he belongs to.
        if (::fchown(fd, t.old.st_uid, t.old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), t.old.st_gid);
        mode = t.old.st_mode & 07777 & ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

}  // namespace

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

bool sharedFileOfAnother(const Walked& w) {
    struct stat folder {};
    if (w.error != 0 || !S_ISREG(w.look.st_mode) || w.look.st_uid == ::geteuid() ||
        ::fstat(w.folder.get(), &folder) != 0)
        return false;
    return w.look.st_uid != folder.st_uid && (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

int checkReplaceable(const std::string& path, Links links) {
    const Walked w = walkPath(path, links);
    const Target target = targetOf(w);
    if (target.error != 0) return target.error;
    return ::faccessat(w.folder.get(), ".", W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int replaceFile(const std::string& path, std::string_view bytes, Links links) {
    return replaceFile(
        path, [bytes](int fd) { return writeAll(fd, bytes); }, links);
}

int replaceFile(const std::string& path, const std::function<int(int fd)>& write, Links links) {
    return replaceFound(walkPath(path, links), write);
}

int replaceFound(const Walked& walked, const std::function<int(int fd)>& write) {
    const Target target = targetOf(walked);
    if (target.error != 0) return target.error;
    const int folder = walked.folder.get();

    const HeldSignals held;
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = temporaryName(walked.name, attempt);
        fd = ::openat(folder, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;

    FileOps& ops = fileOps();
    int err = write(fd);
    if (err == 0) err = takeOverOwnerAndMode(fd, target);
    if (err == 0) err = ops.fsync(fd);
    if (const int closed = ops.close(fd); closed != 0 && err == 0) err = closed;
    if (err == 0) err = ops.rename(folder, temp, walked.name);
    if (err != 0) {
        ::unlinkat(folder, temp.c_str(), 0);
        return err;
    }
    ops.syncDirectory(folder);
    return 0;
}

}  // namespace files
