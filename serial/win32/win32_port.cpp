#include "serial/win32/win32_port.h"

#include <algorithm>
#include <cerrno>

#include "serial/win32/dcb_convert.h"
#include "serial/win32/last_error.h"

namespace commapi::win32 {
namespace {

bool systemFailed() {
    const CommError e = portError(::GetLastError());
    return failed(e.code, e.error);
}

// A manual-reset event for one overlapped call, closed with the object.
class CallEvent {
public:
    CallEvent() : event_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~CallEvent() {
        if (event_) ::CloseHandle(event_);
    }
    CallEvent(const CallEvent&) = delete;
    CallEvent& operator=(const CallEvent&) = delete;
    HANDLE get() const { return event_; }

private:
    HANDLE event_;
};

}  // namespace

Win32Port::Win32Port(HANDLE handle, const ::DCB& found, const ::COMMTIMEOUTS& foundTimeouts)
    : handle_(handle),
      found_(found),
      foundTimeouts_(foundTimeouts),
      wake_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!wake_) systemFailed();
}

Win32Port::~Win32Port() {
    if (handle_ != INVALID_HANDLE_VALUE) closeHandle();
    if (wake_) ::CloseHandle(wake_);
}

HANDLE Win32Port::open() const {
    if (handle_ == INVALID_HANDLE_VALUE) failed(CommCode::kClosed, EBADF);
    return handle_ == INVALID_HANDLE_VALUE ? nullptr : handle_;
}

bool Win32Port::closeHandle() {
    const HANDLE h = open();
    if (!h) return false;
    // The line is left as it was found, also for another program that uses it next.
    ::SetCommMask(h, 0);
    ::SetCommState(h, const_cast<::DCB*>(&found_));
    ::SetCommTimeouts(h, const_cast<::COMMTIMEOUTS*>(&foundTimeouts_));
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(h) || systemFailed();
}

bool Win32Port::setupComm(DWORD inQueue, DWORD outQueue) {
    const HANDLE h = open();
    if (!h) return false;
    if (inQueue == 0) return failed(CommCode::kRefused, EINVAL);
    return ::SetupComm(h, inQueue, outQueue) || systemFailed();
}

bool Win32Port::getCommState(DCB& dcb) {
    const HANDLE h = open();
    if (!h) return false;
    ::DCB system{};
    system.DCBlength = sizeof system;
    if (!::GetCommState(h, &system)) return systemFailed();
    dcb = fromSystem(system);
    return true;
}

bool Win32Port::setCommState(const DCB& dcb) {
    const HANDLE h = open();
    if (!h) return false;
    ::DCB system = toSystem(dcb);
    return ::SetCommState(h, &system) || systemFailed();
}

bool Win32Port::getCommTimeouts(COMMTIMEOUTS& t) {
    const HANDLE h = open();
    if (!h) return false;
    ::COMMTIMEOUTS system{};
    if (!::GetCommTimeouts(h, &system)) return systemFailed();
    t = {system.ReadIntervalTimeout, system.ReadTotalTimeoutMultiplier, system.ReadTotalTimeoutConstant,
         system.WriteTotalTimeoutMultiplier, system.WriteTotalTimeoutConstant};
    return true;
}

bool Win32Port::setCommTimeouts(const COMMTIMEOUTS& t) {
    const HANDLE h = open();
    if (!h) return false;
    ::COMMTIMEOUTS system{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                          t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    if (!::SetCommTimeouts(h, &system)) return systemFailed();
    std::lock_guard lock(m_);
    timeouts_ = t;
    return true;
}

bool Win32Port::setCommMask(DWORD mask) {
    const HANDLE h = open();
    if (!h) return false;
    std::lock_guard lock(m_);
    // Sticky, as on Linux: a wait that starts just after this call returns too, so a thread told
    // to stop cannot slip into a wait that nobody will end. The driver ends its own wait as well.
    maskChanged_ = true;
    ::SetEvent(wake_);
    return ::SetCommMask(h, mask) || systemFailed();
}

bool Win32Port::waitCommEvent(DWORD& occurred) {
    occurred = 0;
    const HANDLE h = open();
    if (!h) return false;
    {
        std::lock_guard lock(m_);
        if (waiting_) return failed(CommCode::kRefused, EBUSY);
        if (maskChanged_) {
            maskChanged_ = false;
            ::ResetEvent(wake_);
            return true;
        }
        waiting_ = true;
    }
    const CallEvent done;
    OVERLAPPED ov{};
    ov.hEvent = done.get();
    ::DWORD events = 0;
    bool ok = ::WaitCommEvent(h, &events, &ov) != 0;
    ::DWORD err = ok ? ERROR_SUCCESS : ::GetLastError();
    if (!ok && err == ERROR_IO_PENDING) {
        const HANDLE both[2] = {done.get(), wake_};
        if (::WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0) ::CancelIoEx(h, &ov);
        ::DWORD unused = 0;
        ok = ::GetOverlappedResult(h, &ov, &unused, TRUE) != 0;
        err = ok ? ERROR_SUCCESS : ::GetLastError();
        if (err == ERROR_OPERATION_ABORTED) ok = true, events = 0;
    }
    std::lock_guard lock(m_);
    waiting_ = false;
    if (maskChanged_) {
        maskChanged_ = false;
        ::ResetEvent(wake_);
        events = 0;
    }
    if (!ok) {
        const CommError e = portError(err);
        return failed(e.code, e.error);
    }
    occurred = static_cast<DWORD>(events);
    return true;
}

bool Win32Port::purgeComm(DWORD flags) {
    const HANDLE h = open();
    return h && (::PurgeComm(h, flags) || systemFailed());
}

bool Win32Port::clearCommError(DWORD& errors, COMSTAT& stat) {
    const HANDLE h = open();
    if (!h) return false;
    ::DWORD systemErrors = 0;
    ::COMSTAT system{};
    if (!::ClearCommError(h, &systemErrors, &system)) return systemFailed();
    errors = static_cast<DWORD>(systemErrors);
    stat = fromSystem(system);
    return true;
}

bool Win32Port::escapeCommFunction(DWORD func) {
    const HANDLE h = open();
    if (!h) return false;
    switch (func) {
        case kSetXoff:
        case kSetXon:
        case kSetRts:
        case kClrRts:
        case kSetDtr:
        case kClrDtr:
        case kSetBreak:
        case kClrBreak: return ::EscapeCommFunction(h, func) || systemFailed();
        default: return failed(CommCode::kRefused, EINVAL);
    }
}

bool Win32Port::readFile(void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs) {
    COMMTIMEOUTS t;
    {
        std::lock_guard lock(m_);
        t = timeouts_;
    }
    // "What is there, at once": asked for as such, since a driver may still wait for the first
    // byte of an overlapped read (Wine's does).
    if (t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0) {
        DWORD errors = 0;
        COMSTAT stat;
        done = 0;
        if (!clearCommError(errors, stat)) return false;
        if (stat.cbInQue == 0) return true;
        count = std::min(count, stat.cbInQue);
    }
    return transfer(true, buffer, count, done, waitLimitMs);
}

bool Win32Port::writeFile(const void* data, DWORD count, DWORD& done, DWORD waitLimitMs) {
    return transfer(false, const_cast<void*>(data), count, done, waitLimitMs);
}

bool Win32Port::transfer(bool in, void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs) {
    done = 0;
    const HANDLE h = open();
    if (!h) return false;
    if (count == 0) return true;
    const CallEvent event;
    OVERLAPPED ov{};
    ov.hEvent = event.get();
    ::DWORD moved = 0;
    const BOOL started = in ? ::ReadFile(h, buffer, count, nullptr, &ov) : ::WriteFile(h, buffer, count, nullptr, &ov);
    if (!started && ::GetLastError() != ERROR_IO_PENDING) return systemFailed();
    // The driver's own limits end it, or the caller's wait: then it is cancelled, keeping what moved.
    if (::WaitForSingleObject(event.get(), waitLimitMs) != WAIT_OBJECT_0) ::CancelIoEx(h, &ov);
    // A transfer that a time limit ended is no failure (Wine says ERROR_TIMEOUT for the driver's).
    if (!::GetOverlappedResult(h, &ov, &moved, TRUE) && ::GetLastError() != ERROR_OPERATION_ABORTED &&
        ::GetLastError() != ERROR_TIMEOUT)
        return systemFailed();
    done = static_cast<DWORD>(moved);
    return true;
}

}  // namespace commapi::win32
