#pragma once
// Reading a file the program did not make: it may be a FIFO that never delivers, a device that
// never ends, or a link planted by somebody else. Only a regular file of bounded size is read.
#include <cstddef>
#include <cstdint>
#include <string>

namespace files {

// The most a file read hands out; a larger file counts as unusable (EFBIG).
inline constexpr std::size_t kMaxReadBytes = std::size_t{64} << 20;

// What is under a name at one moment, to tell later whether it has changed.
struct FileStamp {
    int error = 0;  // errno of finding it (ENOENT: absent, EACCES: a link that is not followed)
    std::uint64_t device = 0, inode = 0, mode = 0, size = 0;
    std::int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of what path leads to under Links::FollowTrusted.
FileStamp stampOf(const std::string& path);

// Reads the whole file into out, following links under Links::FollowTrusted. Returns 0, ENOENT
// when absent, EACCES when it is no regular file or a link that is not followed, EFBIG beyond
// kMaxReadBytes, or the errno of the failure. Never blocks on a FIFO or a device. stamp, when
// given, receives what was found under the name before the read.
int readFile(const std::string& path, std::string& out, FileStamp* stamp = nullptr);

}  // namespace files
