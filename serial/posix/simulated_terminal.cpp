#include "serial/simulated_terminal.h"

#include <sys/stat.h>

#include "serial/posix/open_reason.h"
#include "serial/posix/tty_ioctl.h"

namespace commapi {

bool clearAbandonedExclusive(int terminal) {
    if (!tty::isExclusive(terminal)) return false;
    struct stat st {};
    if (::fstat(terminal, &st) != 0 || isLocked(procLocks(), st.st_dev, st.st_ino)) return false;
    return tty::setExclusive(terminal, false);
}

}  // namespace commapi
