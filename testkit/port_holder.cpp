#include "testkit/port_holder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vttest {

PortHolder::PortHolder(const std::string& path)
    : child_([&path](const ChildProcess::Parent& parent) {
          const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
          const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ioctl(fd, TIOCEXCL) == 0;
          parent.say(held ? "y" : "n");
          parent.waitUntilLetGo();
          ::ioctl(fd, TIOCNXCL);
          return 0;
      }),
      held_(child_.hear(1) == "y") {}

void PortHolder::letGo() {
    child_.letGo();
    child_.waitExit();
}

}  // namespace vttest
