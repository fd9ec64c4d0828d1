#include "ui/files/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace files {

namespace {

// Follows a symbolic link, so that replacing the file keeps the link in place.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

mode_t currentUmask() {
    mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

int writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

}  // namespace

int replaceFile(const std::string& path, std::string_view bytes) {
    const std::string target = resolvedTarget(path);
    mode_t mode = 0666 & ~currentUmask();
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return EACCES;
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return errno;
        mode = st.st_mode & 07777;
    }

    std::vector<char> temp(target.begin(), target.end());
    const std::string_view suffix = ".tmp.XXXXXX";
    temp.insert(temp.end(), suffix.begin(), suffix.end());
    temp.push_back('\0');
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;

    int err = writeAll(fd, bytes);
    if (err == 0 && ::fchmod(fd, mode) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.data(), target.c_str()) != 0) err = errno;
    if (err != 0) ::unlink(temp.data());
    return err;
}

int readFile(const std::string& path, std::string& out) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            return e;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return 0;
}

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

}  // namespace files
