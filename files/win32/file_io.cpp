// The files layer's walks, reads and replacements on Windows. The system follows reparse points
// (links, junctions) itself: making one takes a privilege or a folder of the user's own, so the
// trusted-link rule has nothing to add. What stays: only a regular file of bounded size is read,
// a device name is never opened as a file, and a file is replaced whole or not at all.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "files/atomic_file.h"
#include "files/file_ops.h"
#include "files/file_read.h"
#include "files/links.h"
#include "files/paths.h"
#include "files/win32/system_error.h"

namespace files {

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
    if (fd_ >= 0) ::_close(fd_);
    fd_ = fd;
}

Walked walkPath(const std::string& path, Links, const std::function<bool(const std::string& path)>& stopAt) {
    Walked w;
    const win32::Found found = win32::look(path);
    w.path = found.path.empty() ? path : found.path;
    const std::size_t slash = w.path.find_last_of("\\/");
    w.name = slash == std::string::npos ? w.path : w.path.substr(slash + 1);
    if (stopAt && stopAt(w.path)) {
        w.stopped = true;
        return w;
    }
    w.error = found.error;
    if (w.error == ENOENT) w.missing = win32::look(parentOf(w.path)).error == 0;
    if (w.error != 0) return w;
    w.look.st_mode = found.device ? S_IFCHR : found.folder ? S_IFDIR : S_IFREG;
    if (!found.readOnly) w.look.st_mode |= S_IWRITE;
    w.look.st_size = static_cast<_off_t>(found.size > 0x7fffffffu ? 0x7fffffffu : found.size);
    return w;
}

Walked walkFrom(const Walked& folder, const std::string& path, Links last) {
    const bool absolute = path.size() > 1 && (path[1] == ':' || path[0] == '/' || path[0] == '\\');
    return walkPath(absolute ? path : joinPath(folder.path, path), last);
}

// The system follows links itself (see above).
bool trustedOwner(const struct stat&) { return true; }

Fd openFound(const Walked& walked, int flags, int& error) {
    Fd fd(::_open(walked.path.c_str(), flags | O_BINARY | O_NOINHERIT, _S_IREAD | _S_IWRITE));
    error = fd.valid() ? 0 : errno;
    return fd;
}

namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns steps

FileStamp stampFrom(const win32::Found& f) {
    FileStamp s;
    s.error = f.error;
    if (f.error != 0) return s;
    s.mode = f.device ? S_IFCHR : f.folder ? S_IFDIR : S_IFREG;
    s.size = f.size;
    s.mtimeSeconds = static_cast<std::int64_t>(f.written / kTicksPerSecond);
    s.mtimeNanoseconds = static_cast<std::int64_t>(f.written % kTicksPerSecond) * 100;
    return s;
}

int unusable(const win32::Found& f) {
    if (f.device || f.folder) return EACCES;
    return f.size > kMaxReadBytes ? EFBIG : 0;
}

}  // namespace

FileStamp stampIn(const Walked& folder, const std::string& name) {
    return stampFrom(win32::look(walkFrom(folder, name, Links::FollowTrusted).path));
}

InputFile::InputFile(const std::string& path) {
    open([&] { return walkPath(path, Links::FollowTrusted); });
}

InputFile::InputFile(const Walked& folder, const std::string& name) {
    open([&] { return walkFrom(folder, name, Links::FollowTrusted); });
}

int InputFile::open(const std::function<Walked()>& walk) {
    const win32::Found found = win32::look(walk().path);
    stamp_ = stampFrom(found);
    if ((error_ = found.error) != 0) return error_;
    // Decided before any open: a device (COM1, CON) is never even opened.
    if ((error_ = unusable(found)) != 0) return error_;
    const int fd = ::_open(found.path.c_str(), O_RDONLY | O_BINARY | O_NOINHERIT);
    if (fd < 0) return error_ = errno;
    const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK)
        error_ = EACCES;
    else if (!::GetFileSizeEx(h, &size))
        error_ = win32::lastErrno();
    else if (static_cast<std::uint64_t>(size.QuadPart) > kMaxReadBytes)
        error_ = EFBIG;  // it grew since
    if (error_ != 0)
        ::_close(fd);
    else
        fd_ = fd;
    return error_;
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::_close(fd_);
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
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expected, kMaxReadBytes)));
    char buf[65536];
    for (;;) {
        const int n = ::_read(fd, buf, sizeof buf);
        if (n < 0) return errno;
        if (n == 0) return 0;
        if (out.size() + static_cast<std::size_t>(n) > kMaxReadBytes) return EFBIG;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<unsigned>(bytes.size());
        const int n = ::_write(fd, bytes.data(), chunk);
        if (n < 0) return errno;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

namespace {

// What may be replaced: a regular file that is not read-only, or nothing yet.
int targetError(const Walked& w) {
    if (w.error != 0) return w.missing ? 0 : w.error;
    if ((w.look.st_mode & S_IFMT) != S_IFREG) return EACCES;
    return (w.look.st_mode & S_IWRITE) ? 0 : EACCES;
}

std::string temporaryName(const std::string& path, unsigned attempt) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";  // the names ignore case
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32) ^ (attempt * 0x9E3779B97F4A7C15ull);
    std::string suffix = ".tmp.";
    for (int i = 0; i < 6; ++i, x /= 36) suffix += kLetters[x % 36];
    return path + suffix;
}

}  // namespace

// A folder's access is its ACL, which keeps other users out of the user's profile.
bool sharedFileOfAnother(const Walked&) { return false; }

int checkReplaceable(const std::string& path, Links links) {
    const Walked w = walkPath(path, links);
    if (const int err = targetError(w)) return err;
    const win32::Found folder = win32::look(parentOf(w.path));
    if (folder.error != 0) return folder.error;
    return folder.folder ? 0 : ENOTDIR;
}

int replaceFile(const std::string& path, std::string_view bytes, Links links) {
    return replaceFile(
        path, [bytes](int fd) { return writeAll(fd, bytes); }, links);
}

int replaceFile(const std::string& path, const std::function<int(int fd)>& write, Links links) {
    return replaceFound(walkPath(path, links), write);
}

int replaceFound(const Walked& walked, const std::function<int(int fd)>& write) {
    if (const int err = targetError(walked)) return err;
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = temporaryName(walked.path, attempt);
        fd = ::_open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY | O_NOINHERIT, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    FileOps& ops = fileOps();
    int err = write(fd);
    if (err == 0) err = ops.fsync(fd);
    if (const int closed = ops.close(fd); closed != 0 && err == 0) err = closed;
    if (err == 0) err = ops.rename(walked.folder.get(), temp, walked.path);
    if (err != 0) {
        ::DeleteFileA(temp.c_str());
        return err;
    }
    ops.syncDirectory(walked.folder.get());
    return 0;
}

// On Windows the folder is no descriptor (-1) and from and to are whole paths.
namespace {

FileOps systemOps;
FileOps* installed = nullptr;  // owned by whoever installed it

}  // namespace

int FileOps::fsync(int fd) { return ::_commit(fd) == 0 ? 0 : errno; }

int FileOps::close(int fd) { return ::_close(fd) == 0 ? 0 : errno; }

int FileOps::rename(int, const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : win32::lastErrno();
}

// MOVEFILE_WRITE_THROUGH has made the rename durable; a folder has no flush of its own.
void FileOps::syncDirectory(int) {}

FileOps& fileOps() { return installed ? *installed : systemOps; }

FileOps* setFileOps(FileOps* ops) {
    FileOps* before = installed;
    installed = ops;
    return before;
}

}  // namespace files
