#include "ui/files/file_read.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ui/files/links.h"

namespace files {

namespace {

FileStamp stampFrom(const struct stat& st) {
    FileStamp s;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.mode = st.st_mode;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.mtimeSeconds = st.st_mtim.tv_sec;
    s.mtimeNanoseconds = st.st_mtim.tv_nsec;
    return s;
}

bool usable(const struct stat& st) {
    return S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= kMaxReadBytes;
}

int unusableError(const struct stat& st) { return S_ISREG(st.st_mode) ? EFBIG : EACCES; }

// Reads to the end, at most kMaxReadBytes; the file may have grown since it was measured.
int readAll(int fd, std::size_t expected, std::string& out) {
    out.resize(expected + 1);  // one byte more shows growth without a second read call
    std::size_t have = 0;
    for (;;) {
        if (have == out.size()) {
            if (out.size() > kMaxReadBytes) return EFBIG;
            out.resize(std::min(out.size() * 2, kMaxReadBytes + 1));
        }
        const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    out.resize(have);
    return have > kMaxReadBytes ? EFBIG : 0;
}

}  // namespace

FileStamp stampOf(const std::string& path) {
    const Resolved r = followTrustedLinks(path);
    struct stat st {};
    if (r.error != 0 || ::lstat(r.path.c_str(), &st) != 0) {
        FileStamp s;
        s.error = r.error != 0 ? r.error : errno;
        return s;
    }
    return stampFrom(st);
}

int readFile(const std::string& path, std::string& out, FileStamp* stamp) {
    out.clear();
    FileStamp found;
    const auto report = [&](int err) {
        if (stamp) *stamp = found;
        if (err != 0) out.clear();
        return err;
    };
    const Resolved r = followTrustedLinks(path);
    struct stat st {};
    if (r.error != 0 || ::lstat(r.path.c_str(), &st) != 0) {
        found.error = r.error != 0 ? r.error : errno;
        return report(found.error);
    }
    found = stampFrom(st);
    // Checked before the open as well, so that a device is never even opened.
    if (!usable(st)) return report(unusableError(st));

    const int fd = ::open(r.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return report(errno);
    int err = 0;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (!usable(st))
        err = unusableError(st);
    else
        err = readAll(fd, static_cast<std::size_t>(st.st_size), out);
    ::close(fd);
    return report(err);
}

}  // namespace files
