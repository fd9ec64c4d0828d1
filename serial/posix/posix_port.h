#pragma once
// The POSIX back end of one open port: emulates the Windows driver on a termios fd. While an
// event thread waits for arrivals, it alone moves bytes from the fd into the input queue, as
// soon as they come (no extra thread hop, no fruitless reads elsewhere); otherwise whichever
// thread asks pulls them. COMSTAT::cbOutQue is not tracked (always 0). Free of Qt.
#include <chrono>
#include <mutex>

#include "serial/commapi.h"
#include "serial/posix/line_marks.h"
#include "serial/posix/modem_lines.h"
#include "serial/posix/rx_queue.h"
#include "serial/posix/tty_ioctl.h"

namespace commapi {

class PosixPort final : public CommPort {
public:
    // Takes ownership of fd (open, exclusive, raw); found is put back when the port closes.
    // queries (not owned) answers what the port asks the device while it runs.
    PosixPort(int fd, const tty::FoundMode& found, const tty::Queries& queries);
    ~PosixPort() override;
    PosixPort(const PosixPort&) = delete;
    PosixPort& operator=(const PosixPort&) = delete;

    bool valid() const { return wakeFd_ >= 0 && rxFd_ >= 0; }

    bool setupComm(DWORD inQueue, DWORD outQueue) override;
    bool getCommState(DCB& dcb) override;
    bool setCommState(const DCB& dcb) override;
    bool getCommTimeouts(COMMTIMEOUTS& t) override;
    bool setCommTimeouts(const COMMTIMEOUTS& t) override;
    bool setCommMask(DWORD mask) override;
    bool waitCommEvent(DWORD& occurred) override;
    bool purgeComm(DWORD flags) override;
    bool clearCommError(DWORD& errors, COMSTAT& stat) override;
    bool escapeCommFunction(DWORD func) override;
    bool readFile(void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs) override;
    bool writeFile(const void* data, DWORD count, DWORD& done, DWORD waitLimitMs) override;
    bool closeHandle() override;

    // Raises events as the device would (modem lines, line errors): the seam for devices and
    // tests that have them where a pty has none.
    void raiseEvents(DWORD events, DWORD errors = 0);

private:
    using Clock = std::chrono::steady_clock;

    // All below with m_ held.
    void pull(bool byWaiter);
    void raise(DWORD events, bool byWaiter);
    void wake(int efd);
    void roomFreed(bool wasFull);
    bool waiterOwnsFd() const;
    bool watchesLines() const;
    void checkLines(bool byWaiter);
    void markGone(int err);
    // Record why a call failed, as kClosed once the port is closed; false.
    bool failedOn(int err) const;  // a system call failed with err (goneError_ once the device has gone)

    int fd_;
    const tty::FoundMode found_;  // the device's settings before the port changed them
    const tty::Queries& queries_;
    int wakeFd_ = -1;  // wakes the event thread's wait (mask change, events raised elsewhere)
    int rxFd_ = -1;    // wakes a reader when the event thread has queued bytes

    std::mutex m_;  // guards every field below
    RxQueue queue_;
    LineMarkReader marks_;
    bool marked_ = false;  // the device marks line errors in the stream (PARMRK)
    DCB dcb_{};            // what setCommState was given; termios overlays it on read back
    COMMTIMEOUTS timeouts_{};
    DWORD mask_ = 0;
    DWORD pending_ = 0;           // events of the mask not yet reported
    DWORD errors_ = 0;            // CE_ bits since the last clearCommError
    bool maskChanged_ = false;    // the next (or current) wait returns with no events
    bool waiting_ = false;        // a thread is inside waitCommEvent
    bool waiterActive_ = false;   // an event thread has started waiting on this port
    bool readerWaiting_ = false;  // a thread is inside readFile waiting for bytes
    bool txDraining_ = false;     // kEvTxEmpty is due when the output queue empties
    bool gone_ = false;           // the device went away: transfers fail from now on
    int goneError_ = 0;           // what the system said then (ENODEV: nothing), the errno of every failure after
    bool hasModemLines_ = false;  // set once at construction
    LineCounts lines_;            // modem lines as last seen
};

}  // namespace commapi
