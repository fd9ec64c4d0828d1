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

}  // namespace

FileStamp stampIn(const Walked& folder, const std::string& name) {
    const Walked w = walkFrom(folder, name, Links::FollowTrusted);
    FileStamp s;
    if (w.error != 0)
        s.error = w.error;
    else
        s = stampFrom(w.look);
    return s;
}

InputFile::InputFile(const std::string& path) {
    // Again when the name held something else at the open than at the look.
    for (int attempt = 1; attempt <= 3 && open([&] { return walkPath(path, Links::FollowTrusted); }) == EAGAIN;
         ++attempt) {}
}

InputFile::InputFile(const Walked& folder, const std::string& name) {
    for (int attempt = 1; attempt <= 3 && open([&] { return walkFrom(folder, name, Links::FollowTrusted); }) == EAGAIN;
         ++attempt) {}
}

int InputFile::open(const std::function<Walked()>& walk) {
    const Walked w = walk();
    stamp_ = {};
    if ((error_ = w.error) != 0) {
        stamp_.error = error_;
        return error_;
    }
    stamp_ = stampFrom(w.look);
    // Decided from the look, before any open: a device is never even opened.
    if ((error_ = unusable(w.look)) != 0) return error_;
    Fd fd = openFound(w, O_RDONLY | O_NONBLOCK, error_);
    struct stat st {};
    if (error_ == 0 && ::fstat(fd.get(), &st) != 0) error_ = errno;
    if (error_ == 0) error_ = unusable(st);  // it may have grown since
    if (error_ == 0) fd_ = fd.release();
    return error_;
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

int readFile(const std::string& path, std::string& out) {
    const InputFile in(path);
    return readOpened(in, out);
}

int readOpened(const InputFile& in, std::string& out) {
    out.clear();
    if (in.error() != 0) return in.error();
    return readToEnd(in.fd(), out, in.stamp().size);
}

int readToEnd(int fd, std::string& out, std::uint64_t expected) {
    out.clear();
    // Room for the whole file at once: grown by doubling, the string would hold up to twice its size.
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expected, kMaxReadBytes)));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (out.size() + static_cast<std::size_t>(n) > kMaxReadBytes) return EFBIG;  // a file may grow meanwhile
        out.append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace files
