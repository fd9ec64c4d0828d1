#include "files/standard_descriptors.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>

namespace files {

// A program started without a console or a redirection has no handle behind 0-2: NUL goes there,
// the other way round, as on Linux.
void guardStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::_get_osfhandle(fd) != -1) continue;
        const int opened = ::_open("NUL", (fd == 0 ? O_WRONLY : O_RDONLY) | O_BINARY);
        if (opened == fd) continue;
        if (opened < 0 || ::_dup2(opened, fd) != 0) std::_Exit(127);
        ::_close(opened);
    }
}

}  // namespace files
