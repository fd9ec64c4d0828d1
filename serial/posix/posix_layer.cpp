#include "serial/posix/posix_layer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "serial/portname.h"
#include "serial/posix/last_error.h"
#include "serial/posix/posix_port.h"

namespace commapi {
namespace {

// Gives up an fd that is not ours after all; code and err are why, kept as the last error.
std::unique_ptr<CommPort> refuse(int fd, CommCode code, int err) {
    ::close(fd);
    failed(code, err);
    return nullptr;
}

// A USB adapter otherwise holds every reply until its latency timer runs out, which a one-byte
// handshake pays each time. Best effort: a driver without the mode (a pty, a built-in UART) or
// one that refuses it is left as it is, and the port opens all the same.
bool askLowLatency(const tty::Queries& queries, int fd) {
    return queries.lowLatency(fd) == tty::LowLatency::Off && queries.setLowLatency(fd, true);
}

}  // namespace

std::unique_ptr<CommPort> PosixLayer::createFile(const std::string& name) {
    const auto path = resolvePortName(name, configHome());
    if (!path || path->refused) {
        failed(CommCode::kRefused, path ? path->refused : ENOENT);
        return nullptr;
    }
    // The very file the name was found to lead to, not looked up again by name.
    int openError = path->device.error;
    files::Fd opened = openError == 0 ? files::openFound(path->device, O_RDWR | O_NONBLOCK, openError) : files::Fd();
    if (openError != 0) {
        failed(openError);
        return nullptr;
    }
    const int fd = opened.release();
    // Nothing is changed before the port is known to be ours. flock keeps out every other open,
    // the super-user's and our own process's included; TIOCEXCL stops programs that do not take
    // the lock, and one that another program has asked for refuses the port (the super-user
    // would otherwise get past it).
    if (!::isatty(fd)) return refuse(fd, CommCode::kRefused, ENOTTY);
    if (tty::isExclusive(fd)) return refuse(fd, CommCode::kRefused, EBUSY);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !tty::setExclusive(fd, true))
        return refuse(fd, CommCode::kSystem, errno);
    tty::FoundMode found = tty::readMode(fd);
    if (!tty::makeRaw(fd)) {
        const int err = errno;
        tty::restoreMode(fd, found);
        tty::setExclusive(fd, false);
        return refuse(fd, CommCode::kSystem, err);
    }
    found.lowLatencyAdded = askLowLatency(queries_, fd);
    auto port = std::make_unique<PosixPort>(fd, found, queries_);
    if (!port->valid()) return nullptr;  // its wake-ups could not be made; it kept why
    tLastError = {};
    return port;
}

CommError PosixLayer::lastError() const { return tLastError; }

CommLayer& defaultLayer() {
    static PosixLayer layer;
    return layer;
}

}  // namespace commapi
