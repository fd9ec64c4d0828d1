#pragma once
// Reading a file the program did not make: it may be a FIFO that never delivers, a device that
// never ends, or a link planted by somebody else. Only a regular file of bounded size is read,
// opened without blocking, reached through no link but a trusted one (Links::FollowTrusted), and
// opened as the very file that was looked at.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "files/links.h"

namespace files {

// The most a file read takes; a larger file counts as unusable (EFBIG).
inline constexpr std::size_t kMaxReadBytes = std::size_t{64} << 20;

// What is under a name at one moment, to tell later whether it has changed.
struct FileStamp {
    int error = 0;  // errno of finding it (ENOENT: absent, EACCES: a link that is not followed)
    std::uint64_t device = 0, inode = 0, mode = 0, size = 0;
    std::int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// What is under name in a folder a walk found (walkFrom) now, found under the rules above without
// opening it.
FileStamp stampIn(const Walked& folder, const std::string& name);

// A file opened for reading under the rules above, closed when the object goes.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    // name in a folder a walk found, whatever the folder's path holds by now.
    InputFile(const Walked& folder, const std::string& name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // 0 when open; ENOENT when absent; EACCES when it is no regular file or a link that is not
    // followed; EFBIG beyond kMaxReadBytes; else the errno of the failure.
    int error() const { return error_; }
    int fd() const { return fd_; }
    // What was found under the name as it was opened.
    const FileStamp& stamp() const { return stamp_; }

private:
    int open(const std::function<Walked()>& walk);

    int fd_ = -1;
    int error_ = 0;
    FileStamp stamp_;
};

// Reads the whole file (see InputFile) into out. Returns 0 or the error.
int readFile(const std::string& path, std::string& out);
// Reads the rest of a file that is open into out. Returns 0 or the error.
int readOpened(const InputFile& in, std::string& out);
// Reads what a descriptor gives until its end into out, at most kMaxReadBytes (else EFBIG), room
// made for about expected bytes at once. Returns 0 or the errno.
int readToEnd(int fd, std::string& out, std::uint64_t expected = 0);

}  // namespace files
