#include "serial/posix/proc_locks.h"

#include <sys/sysmacros.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace commapi {
namespace {

// Calls found(pid) for each lock held on the inode (pid -1 for an open-file lock) until it says
// to stop.
template <typename Found>
void eachLock(std::string_view procLocks, dev_t dev, ino_t ino, Found found) {
    // "1: FLOCK  ADVISORY  WRITE 1234 00:19:3 0 EOF"; a waiter's line has "->" after the number.
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%llu", major(dev), minor(dev),
                  static_cast<unsigned long long>(ino));
    std::istringstream in{std::string(procLocks)};
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, inode;
        fields >> number >> kind;
        if (kind == "->") continue;
        fields >> mode >> access >> pid >> inode;
        if (inode == wanted && !found(std::strtol(pid.c_str(), nullptr, 10))) return;
    }
}

}  // namespace

pid_t lockHolder(std::string_view procLocks, dev_t dev, ino_t ino) {
    pid_t holder = 0;
    eachLock(procLocks, dev, ino, [&](long pid) {
        if (pid > 0) holder = static_cast<pid_t>(pid);
        return holder == 0;
    });
    return holder;
}

bool isLocked(std::string_view procLocks, dev_t dev, ino_t ino) {
    bool locked = false;
    eachLock(procLocks, dev, ino, [&](long) { return !(locked = true); });
    return locked;
}

std::string procLocks() {
    std::ifstream in("/proc/locks");
    std::ostringstream locks;
    locks << in.rdbuf();
    return locks.str();
}

bool holdsLock(std::string_view procLocks, dev_t dev, ino_t ino, pid_t pid) {
    bool held = false;
    eachLock(procLocks, dev, ino, [&](long holder) { return !(held = holder == pid); });
    return held;
}

}  // namespace commapi
