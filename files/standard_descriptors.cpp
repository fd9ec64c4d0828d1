#include "files/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace files {

void guardStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int opened = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_NOCTTY);
        if (opened == fd) continue;  // the lowest free number: the lower ones are open by now
        if (opened < 0 || ::dup2(opened, fd) != fd) std::_Exit(127);
        ::close(opened);
    }
}

}  // namespace files
