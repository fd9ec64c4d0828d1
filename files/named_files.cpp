#include "files/named_files.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <optional>
#include <string>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "files/links.h"
#include "files/paths.h"

namespace files {
namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The open descriptor of this process that path names through /dev/fd or /proc, if any. Such a
// name is never followed by its link text: for a pipe that text ("pipe:[…]") names no file, and
// a regular file opened again by name would be written from its start, over what the
// descriptor's own writes put there. The walk of a path reaches /proc/<pid>/fd/N (or
// /proc/<pid>/task/<tid>/fd/N) however it was spelt; the short forms are known without /proc.
std::optional<int> ownDescriptor(std::string_view path) {
    const std::string pid = "/proc/" + std::to_string(::getpid()) + "/";
    std::string_view rest;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"})
        if (path.starts_with(prefix)) rest = path.substr(prefix.size());
    if (path.starts_with(pid)) {
        std::string_view p = path.substr(pid.size());
        if (p.starts_with("task/")) {
            const std::size_t slash = p.find('/', 5);
            if (slash == std::string_view::npos || !allDigits(p.substr(5, slash - 5))) return std::nullopt;
            p = p.substr(slash + 1);
        }
        if (p.starts_with("fd/")) rest = p.substr(3);
    }
    if (!allDigits(rest)) return std::nullopt;
    int fd = -1;
    std::from_chars(rest.data(), rest.data() + rest.size(), fd);
    return fd;
}

bool namesOwnDescriptor(const std::string& path) { return ownDescriptor(path).has_value(); }

bool isOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

bool inside(const std::string& path, const std::string& folder) {
    return path == folder || (path.starts_with(folder) && (folder.ends_with('/') || path[folder.size()] == '/'));
}

// Whether a file at path (absolute, without links) would be made or replaced inside the device
// folder.
bool amongDevices(const std::string& path, const std::string& devices) {
    const Walked d = walkPath(devices, Links::FollowTrusted);
    return inside(parentOf(path), d.error == 0 ? d.path : devices);
}

// Writes into a terminal, FIFO or other device a walk found. A FIFO that nobody reads gives
// ENXIO at once instead of waiting for a reader that may never come.
int writeStream(const Walked& w, std::string_view bytes, Waiting waiting) {
    int err = 0;
    const Fd fd = openFound(w, O_WRONLY | O_NONBLOCK, err);
    if (err != 0) return err;
    if (waiting == Waiting::Never) return writeAll(fd.get(), bytes);  // EAGAIN where it would wait
    const int flags = ::fcntl(fd.get(), F_GETFL);
    // A reader that is there may take its time, as with a shell's redirection.
    if (flags == -1 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) == -1) return errno;
    return writeAll(fd.get(), bytes);
}

// Writes into a descriptor this process had open already. Its file description may be shared
// with other processes (a shell's terminal), so it is not made non-blocking: without waiting, a
// descriptor that cannot take bytes now is left alone.
int writeOwn(int fd, std::string_view bytes, Waiting waiting) {
    if (!isOpen(fd)) return EBADF;
    pollfd p{fd, POLLOUT, 0};
    if (waiting == Waiting::Never && (::poll(&p, 1, 0) != 1 || !(p.revents & POLLOUT))) return EAGAIN;
    return writeAll(fd, bytes);
}

// Tries again when the name held something else when it was opened than when it was looked at.
constexpr int kAttempts = 3;

}  // namespace

int writeNamedOutput(const std::string& name, std::string_view bytes, const std::string& devices, Waiting waiting) {
    if (name == "-") return writeOwn(STDOUT_FILENO, bytes, waiting);
    if (const auto fd = ownDescriptor(name)) return writeOwn(*fd, bytes, waiting);
    for (int attempt = 1;; ++attempt) {
        const Walked w = walkPath(name, Links::FollowTrusted, namesOwnDescriptor);
        if (w.stopped) return writeOwn(*ownDescriptor(w.path), bytes, waiting);
        if (w.error != 0 && !w.missing) return w.error;
        if (!w.missing && S_ISDIR(w.look.st_mode)) return EISDIR;
        if (!w.missing && S_ISBLK(w.look.st_mode)) return EACCES;
        if (!w.missing && !S_ISREG(w.look.st_mode)) {
            const int err = writeStream(w, bytes, waiting);
            if (err == EAGAIN && attempt < kAttempts) continue;
            return err;
        }
        if (amongDevices(w.path, devices)) return EACCES;
        return replaceFound(w, [bytes](int fd) { return writeAll(fd, bytes); });
    }
}

int readNamedInput(const std::string& name, std::string& out) {
    if (name == "-") return readToEnd(STDIN_FILENO, out);
    if (const auto fd = ownDescriptor(name)) return isOpen(*fd) ? readToEnd(*fd, out) : EBADF;
    const Walked w = walkPath(name, Links::FollowTrusted, namesOwnDescriptor);
    if (w.stopped) {
        const int fd = *ownDescriptor(w.path);
        return isOpen(fd) ? readToEnd(fd, out) : EBADF;
    }
    if (w.error == ENOTDIR) return ENOTDIR;  // a name after a descriptor of this process
    return readFile(name, out);
}

}  // namespace files
