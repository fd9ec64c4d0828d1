#pragma once
// Another program holding a port: a child process that opens it, takes flock and TIOCEXCL, and
// lets go again when told (the exclusive mode belongs to the terminal, not to a descriptor, so a
// holder that merely died would leave it set for every later open).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <string>

#include "testkit/child_process.h"

namespace vttest {

class PortHolder {
public:
    explicit PortHolder(const std::string& path)
        : child_([&path](const ChildProcess::Parent& parent) {
              const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
              const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ioctl(fd, TIOCEXCL) == 0;
              parent.say(held ? "y" : "n");
              parent.waitUntilLetGo();
              ::ioctl(fd, TIOCNXCL);
              return 0;
          }),
          held_(child_.hear(1) == "y") {}

    bool held() const { return held_; }
    pid_t pid() const { return child_.pid(); }
    // Clears the exclusive mode and waits for the holder to end.
    void letGo() {
        child_.letGo();
        child_.waitExit();
    }

private:
    ChildProcess child_;
    bool held_;
};

}  // namespace vttest
