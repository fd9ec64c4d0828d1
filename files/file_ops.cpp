#include "files/file_ops.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace files {
namespace {

FileOps systemOps;
FileOps* installed = nullptr;  // owned by whoever installed it

}  // namespace

int FileOps::fsync(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

int FileOps::close(int fd) { return ::close(fd) == 0 ? 0 : errno; }

int FileOps::rename(int folder, const std::string& from, const std::string& to) {
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0 ? 0 : errno;
}

void FileOps::syncDirectory(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

FileOps& fileOps() { return installed ? *installed : systemOps; }

FileOps* setFileOps(FileOps* ops) {
    FileOps* before = installed;
    installed = ops;
    return before;
}

}  // namespace files
