#include "files/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

#include "files/links.h"

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

int unusable(const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return EACCES;
    return static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes ? EFBIG : 0;
}

// The entry path leads to, with its stat; error set when there is none to use.
FileStamp found(const std::string& path, std::string& entry, struct stat& st) {
    const Resolved r = followTrustedLinks(path);
    entry = r.path;
    FileStamp s;
    if (r.error != 0 || ::lstat(r.path.c_str(), &st) != 0)
        s.error = r.error != 0 ? r.error : errno;
    else
        s = stampFrom(st);
    return s;
}

}  // namespace

FileStamp stampOf(const std::string& path) {
    std::string entry;
    struct stat st {};
    return found(path, entry, st);
}

InputFile::InputFile(const std::string& path) {
    std::string entry;
    struct stat st {};
    stamp_ = found(path, entry, st);
    if ((error_ = stamp_.error) != 0) return;
    // Checked before the open as well, so that a device is never even opened.
    if ((error_ = unusable(st)) != 0) return;
    fd_ = ::open(entry.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    if (::fstat(fd_, &st) != 0)
        error_ = errno;
    else
        error_ = unusable(st);
    if (error_ != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

int readFile(const std::string& path, std::string& out) {
    out.clear();
    const InputFile in(path);
    if (in.error() != 0) return in.error();
    // Room for the whole file at once: grown by doubling, the string would hold up to twice its size.
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(in.stamp().size, kMaxReadBytes)));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(in.fd(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (out.size() + static_cast<std::size_t>(n) > kMaxReadBytes) return EFBIG;  // it grew since
        out.append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace files
