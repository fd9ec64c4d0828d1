// CreateFile of the POSIX back end: resolves the port name, opens the device exclusively and
// puts it into raw mode.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "serial/commapi.h"
#include "serial/portname.h"
#include "serial/posix_port.h"
#include "serial/tty_ioctl.h"

namespace commapi {
namespace {

class PosixLayer final : public CommLayer {
public:
    std::unique_ptr<CommPort> CreateFile(const std::string& name) override {
        const auto path = resolvePortName(name, configHome());
        if (!path) return nullptr;
        const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        // Nothing is changed before the port is known to be ours. flock keeps out every other
        // open, the super-user's and our own process's included; TIOCEXCL stops programs that do
        // not take the lock, and one that another program has asked for refuses the port (the
        // super-user would otherwise get past it).
        if (!::isatty(fd) || tty::isExclusive(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
            !tty::setExclusive(fd, true)) {
            ::close(fd);
            return nullptr;
        }
        const tty::FoundMode found = tty::readMode(fd);
        if (!tty::makeRaw(fd)) {
            tty::restoreMode(fd, found);
            tty::setExclusive(fd, false);
            ::close(fd);
            return nullptr;
        }
        auto port = std::make_unique<PosixPort>(fd, found);
        if (!port->valid()) return nullptr;
        return port;
    }
};

}  // namespace

CommLayer& posixLayer() {
    static PosixLayer layer;
    return layer;
}

}  // namespace commapi
