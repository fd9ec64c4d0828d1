#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "files/file_ops.h"
#include "files/paths.h"

namespace files {

namespace {

// What the new file replaces.
struct Target {
    int error = 0;
    std::string path;       // where the new file is renamed to
    bool existing = false;  // a regular file is there: its owner and mode carry over
    struct stat old {};
};

Target targetOf(const std::string& path, Links links) {
    Target t;
    t.path = path;
    if (links == Links::FollowTrusted) {
        const Resolved r = followTrustedLinks(path);
        t.path = r.path;
        if (r.error != 0) {
            t.error = r.error == ENOENT ? 0 : r.error;
            return t;
        }
    }
    if (::lstat(t.path.c_str(), &t.old) != 0) {
        t.error = errno == ENOENT ? 0 : errno;
        return t;
    }
    if (S_ISLNK(t.old.st_mode) && links == Links::Replace) return t;  // the link itself goes
    if (!S_ISREG(t.old.st_mode)) {
        t.error = EACCES;
        return t;
    }
    t.existing = true;
    if ((t.old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        t.error = EACCES;
    else if (::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS) != 0)
        t.error = errno;
    return t;
}

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

int checkReplaceable(const std::string& path, Links links) {
    const Target target = targetOf(path, links);
    if (target.error != 0) return target.error;
    return ::faccessat(AT_FDCWD, parentOf(target.path).c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int replaceFile(const std::string& path, std::string_view bytes, Links links) {
    return replaceFile(
        path, [bytes](int fd) { return writeAll(fd, bytes); }, links);
}

int replaceFile(const std::string& path, const std::function<int(int fd)>& write, Links links) {
    const Target target = targetOf(path, links);
    if (target.error != 0) return target.error;

    std::vector<char> temp(target.path.begin(), target.path.end());
    const std::string_view suffix = ".tmp.XXXXXX";
    temp.insert(temp.end(), suffix.begin(), suffix.end());
    temp.push_back('\0');
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;

    FileOps& ops = fileOps();
    int err = write(fd);
    if (err == 0) err = takeOverOwnerAndMode(fd, target);
    if (err == 0) err = ops.fsync(fd);
    if (const int closed = ops.close(fd); closed != 0 && err == 0) err = closed;
    if (err == 0) err = ops.rename(temp.data(), target.path);
    if (err != 0) {
        ::unlink(temp.data());
        return err;
    }
    ops.syncDirectory(parentOf(target.path));
    return 0;
}

}  // namespace files
