#include "serial/posix/posix_port.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "serial/posix/last_error.h"
#include "serial/posix/tty_ioctl.h"

namespace commapi {
namespace {

constexpr DWORD kMaxQueue = 16u << 20;
constexpr int kDrainCheckMs = 2;  // how often a pending kEvTxEmpty looks at the output queue
// How often the modem lines are looked at, only while modem events are watched on a device
// that has them (drivers offer no wait that a mask change could end).
constexpr int kLineCheckMs = 10;
constexpr DWORD kLineEvents = kEvCts | kEvDsr | kEvRing | kEvRlsd | kEvErr;

// Milliseconds from now to deadline for poll(); -1 when there is none.
int msUntil(std::chrono::steady_clock::time_point deadline, bool hasDeadline) {
    if (!hasDeadline) return -1;
    auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>((left.count() + 999) / 1000, 1 << 30));
}

void drain(int efd) {
    std::uint64_t v;
    while (::read(efd, &v, sizeof v) > 0) {}
}

}  // namespace

PosixPort::PosixPort(int fd, const tty::FoundMode& found, const tty::Queries& queries)
    : fd_(fd), found_(found), queries_(queries) {
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    rxFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (!valid()) failed(errno);
    dcb_.Flags = fBinary;
    dcb_.XonLim = 2048;
    dcb_.XoffLim = 512;
    dcb_.XonChar = 17;
    dcb_.XoffChar = 19;
    tty::readDcb(fd_, dcb_);
    hasModemLines_ = queries_.readLines(fd_, lines_);
    marked_ = tty::marksErrors(fd_);
}

PosixPort::~PosixPort() {
    if (fd_ >= 0) closeHandle();
}

bool PosixPort::closeHandle() {
    if (fd_ < 0) return failed(CommCode::kClosed, EBADF);
    // The line is left as it was found, also for another program that keeps using it.
    if (found_.lowLatencyAdded) queries_.setLowLatency(fd_, false);
    tty::restoreMode(fd_, found_);
    tty::setExclusive(fd_, false);
    const bool ok = ::close(fd_) == 0;
    const int err = errno;
    fd_ = -1;
    if (wakeFd_ >= 0) ::close(wakeFd_);
    if (rxFd_ >= 0) ::close(rxFd_);
    wakeFd_ = rxFd_ = -1;
    return ok || failed(err);
}

bool PosixPort::failedOn(int err) const { return fd_ < 0 ? failed(CommCode::kClosed, EBADF) : failed(err); }

void PosixPort::wake(int efd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(efd, &one, sizeof one);
}

void PosixPort::raise(DWORD events, bool byWaiter) {
    events &= mask_;
    if (!events) return;
    pending_ |= events;
    if (waiting_ && !byWaiter) wake(wakeFd_);
}

void PosixPort::markGone(int err) {
    if (gone_) return;
    gone_ = true;
    goneError_ = err;
    // Wake the owner's receive handler: it finds the queue uncountable once it is empty.
    raise(kEvRxChar, false);
}

void PosixPort::raiseEvents(DWORD events, DWORD errors) {
    std::lock_guard lock(m_);
    errors_ |= errors;
    raise(events, false);
}

bool PosixPort::watchesLines() const { return hasModemLines_ && !gone_ && (mask_ & kLineEvents); }

void PosixPort::checkLines(bool byWaiter) {
    LineCounts now;
    if (!queries_.readLines(fd_, now)) return;
    DWORD errors = 0;
    const DWORD ev = lineEvents(lines_, now, errors);
    lines_ = now;
    errors_ |= errors;
    raise(ev, byWaiter);
}

void PosixPort::roomFreed(bool wasFull) {
    // The wait leaves the fd out of its poll set while the queue is full; let it look again.
    if (wasFull && waiting_) wake(wakeFd_);
}

bool PosixPort::waiterOwnsFd() const { return waiterActive_ && (mask_ & kEvRxChar) && !gone_; }

void PosixPort::pull(bool byWaiter) {
    if (gone_) return;
    // While an event thread watches arrivals it is the only one reading the fd: it pulls as soon
    // as bytes are there, so a look from another thread would mostly cost a fruitless read().
    if (!byWaiter && waiterOwnsFd()) return;
    std::uint8_t chunk[4096];
    DWORD events = 0;
    while (!queue_.full()) {
        const std::size_t want = std::min(queue_.room(), sizeof chunk);
        const ssize_t n = ::read(fd_, chunk, want);
        if (n > 0) {
            std::size_t kept = static_cast<std::size_t>(n);
            if (marked_) {
                const auto marks = marks_.feed(chunk, kept, chunk, dcb_.Flags & fErrorChar, dcb_.ErrorChar);
                errors_ |= marks.errors;
                events |= marks.events;
                kept = marks.bytes;
            }
            if (dcb_.Flags & fNull) {
                kept = static_cast<std::size_t>(std::remove(chunk, chunk + kept, 0) - chunk);
            }
            if (std::find(chunk, chunk + kept, static_cast<std::uint8_t>(dcb_.EvtChar)) != chunk + kept) {
                events |= kEvRxFlag;
            }
            if (kept) events |= kEvRxChar;
            queue_.push(chunk, kept);
            if (static_cast<std::size_t>(n) < want) break;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        markGone(n < 0 ? errno : ENODEV);  // read 0 after readiness, EIO, ...: the device is no more
        if (readerWaiting_ && byWaiter) wake(rxFd_);
        break;
    }
    if ((events & kEvRxChar) && readerWaiting_ && byWaiter) wake(rxFd_);
    if (events) raise(events, byWaiter);
}

bool PosixPort::setupComm(DWORD inQueue, DWORD outQueue) {
    if (inQueue == 0 || inQueue > kMaxQueue || outQueue > kMaxQueue) return failed(CommCode::kRefused, EINVAL);
    std::lock_guard lock(m_);
    const bool wasFull = queue_.full();
    queue_.reset(inQueue);
    roomFreed(wasFull);
    return true;
}

bool PosixPort::getCommState(DCB& dcb) {
    std::lock_guard lock(m_);
    dcb = dcb_;
    return tty::readDcb(fd_, dcb) || failedOn(errno);
}

bool PosixPort::setCommState(const DCB& dcb) {
    std::lock_guard lock(m_);
    if (!tty::applyDcb(fd_, dcb)) return failedOn(errno);
    dcb_ = dcb;
    marked_ = tty::marksErrors(fd_);
    // Lines under program control keep what the program set; the others follow the DCB.
    const DWORD dtr = (dcb.Flags >> fDtrControlShift) & 3u;
    const DWORD rts = (dcb.Flags >> fRtsControlShift) & 3u;
    if (dtr == kDtrControlEnable) tty::setModemLines(fd_, false, true);
    if (rts == kRtsControlEnable) tty::setModemLines(fd_, true, true);
    return true;
}

bool PosixPort::getCommTimeouts(COMMTIMEOUTS& t) {
    std::lock_guard lock(m_);
    t = timeouts_;
    return true;
}

bool PosixPort::setCommTimeouts(const COMMTIMEOUTS& t) {
    std::lock_guard lock(m_);
    timeouts_ = t;
    return true;
}

bool PosixPort::setCommMask(DWORD mask) {
    std::lock_guard lock(m_);
    mask_ = mask;
    pending_ = 0;
    if (hasModemLines_) queries_.readLines(fd_, lines_);  // changes count from here on
    // Sticky: a wait that starts just after this call returns too, so a thread told to stop
    // cannot slip into a wait that nobody will end.
    maskChanged_ = true;
    if (waiting_) wake(wakeFd_);
    return true;
}

bool PosixPort::waitCommEvent(DWORD& occurred) {
    std::unique_lock lock(m_);
    if (fd_ < 0) return failed(CommCode::kClosed, EBADF);
    if (waiting_) return failed(CommCode::kRefused, EBUSY);
    waiting_ = true;
    waiterActive_ = true;
    for (;;) {
        if (maskChanged_) {
            maskChanged_ = false;
            occurred = 0;
            break;
        }
        if (pending_ & mask_) {
            occurred = pending_ & mask_;
            pending_ = 0;
            break;
        }
        if (txDraining_) {
            if (queries_.outputQueued(fd_) <= 0) {
                txDraining_ = false;
                raise(kEvTxEmpty, true);
                continue;
            }
        }
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
        // A gone device or a full queue leaves the fd out: neither may make this loop spin.
        const nfds_t n = (!gone_ && !queue_.full()) ? 2 : 1;
        int timeout = (txDraining_ && (mask_ & kEvTxEmpty)) ? kDrainCheckMs : -1;
        if (watchesLines() && (timeout < 0 || timeout > kLineCheckMs)) timeout = kLineCheckMs;
        lock.unlock();
        const int r = ::poll(fds, n, timeout);
        const int err = errno;
        lock.lock();
        if (r < 0) {
            if (err == EINTR) continue;
            waiting_ = false;
            return failed(err);
        }
        if (fds[0].revents) drain(wakeFd_);
        if (watchesLines()) checkLines(true);
        if (n == 2 && fds[1].revents) {
            pull(true);
            if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[1].revents & POLLIN)) {
                markGone(ENODEV);
                if (readerWaiting_) wake(rxFd_);
            }
        }
    }
    waiting_ = false;
    return true;
}

bool PosixPort::purgeComm(DWORD flags) {
    std::lock_guard lock(m_);
    int err = 0;  // of the first flush that failed
    if (flags & kPurgeRxClear) {
        const bool wasFull = queue_.full();
        queue_.clear();
        marks_.reset();
        if (!tty::flushInput(fd_)) err = errno;
        roomFreed(wasFull);
    }
    if ((flags & kPurgeTxClear) && !tty::flushOutput(fd_) && err == 0) err = errno;
    // Transfers are synchronous, so no transfer is ever pending to abort.
    return err == 0 || failedOn(err);
}

bool PosixPort::clearCommError(DWORD& errors, COMSTAT& stat) {
    std::lock_guard lock(m_);
    pull(false);
    errors = errors_;
    errors_ = 0;
    stat = COMSTAT{};
    stat.cbInQue = static_cast<DWORD>(queue_.size());
    if (gone_ && queue_.size() == 0) return failedOn(goneError_);  // nothing left, and nothing more will come
    return true;
}

bool PosixPort::escapeCommFunction(DWORD func) {
    std::lock_guard lock(m_);
    if (gone_) return failedOn(goneError_);
    bool ok = false;
    switch (func) {
        case kSetRts: ok = tty::setModemLines(fd_, true, true); break;
        case kClrRts: ok = tty::setModemLines(fd_, true, false); break;
        case kSetDtr: ok = tty::setModemLines(fd_, false, true); break;
        case kClrDtr: ok = tty::setModemLines(fd_, false, false); break;
        case kSetBreak: ok = tty::setBreak(fd_, true); break;
        case kClrBreak: ok = tty::setBreak(fd_, false); break;
        case kSetXoff: ok = tty::setXoffState(fd_, true); break;
        case kSetXon: ok = tty::setXoffState(fd_, false); break;
        default: return failed(CommCode::kRefused, EINVAL);
    }
    return ok || failedOn(errno);
}

bool PosixPort::readFile(void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs) {
    done = 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::unique_lock lock(m_);
    if (fd_ < 0) return failed(CommCode::kClosed, EBADF);
    const COMMTIMEOUTS t = timeouts_;
    const auto start = Clock::now();
    // The driver's total limit (none when both parts are 0), bounded by the caller's wait.
    auto deadline = start + std::chrono::milliseconds(waitLimitMs);
    const std::uint64_t total = std::uint64_t(t.ReadTotalTimeoutMultiplier) * count + t.ReadTotalTimeoutConstant;
    if (total != 0) deadline = std::min(deadline, start + std::chrono::milliseconds(total));
    const bool returnAtOnce = t.ReadIntervalTimeout == kMaxDword && total == 0;
    const bool useInterval = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != kMaxDword;
    auto lastByte = start;

    for (;;) {
        pull(false);
        const bool wasFull = queue_.full();
        const std::size_t n = queue_.take(out + done, count - done);
        if (n) {
            done += static_cast<DWORD>(n);
            lastByte = Clock::now();
            roomFreed(wasFull);
        }
        if (done == count) return true;
        if (gone_) return failedOn(goneError_);
        if (returnAtOnce) return true;
        auto until = deadline;
        if (useInterval && done > 0) {
            until = std::min(until, lastByte + std::chrono::milliseconds(t.ReadIntervalTimeout));
        }
        if (Clock::now() >= until) return true;

        pollfd fds[2] = {{rxFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
        const nfds_t nfds = waiterOwnsFd() ? 1 : 2;  // else the event thread wakes us via rxFd_
        readerWaiting_ = true;
        lock.unlock();
        const int r = ::poll(fds, nfds, msUntil(until, true));
        const int err = errno;
        lock.lock();
        readerWaiting_ = false;
        if (r < 0 && err != EINTR) return failed(err);
        if (r > 0 && fds[0].revents) drain(rxFd_);
        if (r > 0 && nfds == 2 && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[1].revents & POLLIN)) {
            pull(false);
            markGone(ENODEV);
        }
    }
}

bool PosixPort::writeFile(const void* data, DWORD count, DWORD& done, DWORD waitLimitMs) {
    done = 0;
    const auto* in = static_cast<const std::uint8_t*>(data);
    COMMTIMEOUTS t;
    {
        std::lock_guard lock(m_);
        if (fd_ < 0 || gone_) return failedOn(goneError_);
        t = timeouts_;
    }
    const auto start = Clock::now();
    auto deadline = start + std::chrono::milliseconds(waitLimitMs);
    const std::uint64_t total = std::uint64_t(t.WriteTotalTimeoutMultiplier) * count + t.WriteTotalTimeoutConstant;
    if (total != 0) deadline = std::min(deadline, start + std::chrono::milliseconds(total));

    while (done < count) {
        const ssize_t n = ::write(fd_, in + done, count - done);
        if (n > 0) {
            done += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int ms = msUntil(deadline, true);
            if (ms == 0) return true;  // the limit ended it: done < count
            pollfd p{fd_, POLLOUT, 0};
            const int r = ::poll(&p, 1, ms);
            if (r < 0 && errno != EINTR) return failed(errno);
            if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLOUT)) {
                std::lock_guard lock(m_);
                markGone(ENODEV);
                return failedOn(goneError_);
            }
            continue;
        }
        const int err = n < 0 ? errno : ENODEV;
        std::lock_guard lock(m_);
        markGone(err);
        return failedOn(goneError_);
    }

    std::lock_guard lock(m_);
    if (mask_ & kEvTxEmpty) {
        if (queries_.outputQueued(fd_) <= 0) {
            raise(kEvTxEmpty, false);
        } else {
            txDraining_ = true;
            if (waiting_) wake(wakeFd_);
        }
    }
    return true;
}

}  // namespace commapi
