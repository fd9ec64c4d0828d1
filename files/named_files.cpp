#include "files/named_files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "files/links.h"
#include "files/paths.h"

namespace files {
namespace {

// The open descriptor of this process that path names through /dev/fd or /proc, if any. Such a
// name is never followed by its link text: for a pipe that text ("pipe:[…]") names no file, and
// a regular file opened again by name would be written from its start, over what the
// descriptor's own writes put there.
std::optional<int> ownDescriptor(std::string_view path) {
    const std::string prefixes[] = {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/",
                                    "/proc/" + std::to_string(::getpid()) + "/fd/"};
    for (const std::string& prefix : prefixes) {
        if (!path.starts_with(prefix)) continue;
        const std::string_view digits = path.substr(prefix.size());
        int fd = -1;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        return fd;
    }
    return std::nullopt;
}

bool isOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

bool inside(const std::string& path, const std::string& folder) {
    return path == folder || (path.starts_with(folder) && (folder.ends_with('/') || path[folder.size()] == '/'));
}

// Whether a file under path would be made or replaced inside the device folder.
bool amongDevices(const std::string& path, const std::string& devices) {
    char dir[PATH_MAX], dev[PATH_MAX];
    if (!::realpath(parentOf(path).c_str(), dir)) return false;  // replaceFile then fails by itself
    return inside(dir, ::realpath(devices.c_str(), dev) ? std::string(dev) : devices);
}

int writeStream(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (err == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) || S_ISBLK(st.st_mode))) err = EACCES;  // swapped
    if (err == 0) err = writeAll(fd, bytes);
    if (::close(fd) != 0 && err == 0) err = errno;
    return err;
}

int readToEnd(int fd, std::string& out) {
    out.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (out.size() + static_cast<std::size_t>(n) > kMaxReadBytes) return EFBIG;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace

int writeNamedOutput(const std::string& name, std::string_view bytes, const std::string& devices) {
    if (name == "-") return writeAll(STDOUT_FILENO, bytes);
    const Resolved r = followTrustedLinks(name, [](const std::string& p) { return ownDescriptor(p).has_value(); });
    if (r.error != 0 && r.error != ENOENT) return r.error;
    if (const auto fd = ownDescriptor(r.path)) return isOpen(*fd) ? writeAll(*fd, bytes) : EBADF;
    struct stat st {};
    if (r.error == 0) {
        if (::lstat(r.path.c_str(), &st) != 0) return errno;
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (S_ISBLK(st.st_mode)) return EACCES;
        if (!S_ISREG(st.st_mode)) return writeStream(r.path, bytes);
    }
    if (amongDevices(r.path, devices)) return EACCES;
    return replaceFile(r.path, bytes, Links::FollowTrusted);
}

int readNamedInput(const std::string& name, std::string& out) {
    if (name == "-") return readToEnd(STDIN_FILENO, out);
    const Resolved r = followTrustedLinks(name, [](const std::string& p) { return ownDescriptor(p).has_value(); });
    if (const auto fd = r.error == 0 ? ownDescriptor(r.path) : std::nullopt)
        return isOpen(*fd) ? readToEnd(*fd, out) : EBADF;
    return readFile(name, out);
}

}  // namespace files
