#pragma once
// Who holds a lock on a file, from the kernel's table of locks (/proc/locks). Free of Qt.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace commapi {

// The process holding a lock (flock, POSIX) on the inode ino of the file system dev, from the
// text of /proc/locks; 0 when there is none (or only an open-file lock, which names no process).
pid_t lockHolder(std::string_view procLocks, dev_t dev, ino_t ino);
// Whether anybody holds a lock of any kind on that inode (waiters do not count).
bool isLocked(std::string_view procLocks, dev_t dev, ino_t ino);
// This machine's /proc/locks.
std::string procLocks();

// Whether process pid holds a lock (flock or POSIX) on that inode; a lock somebody else holds on
// the same file does not count.
bool holdsLock(std::string_view procLocks, dev_t dev, ino_t ino, pid_t pid);

}  // namespace commapi
