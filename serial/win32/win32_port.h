#pragma once
// The Windows back end of one open port: the comm calls of the system on an overlapped handle.
// A transfer is one overlapped ReadFile or WriteFile, ended by the driver's time limits
// (setCommTimeouts) or cancelled at the caller's waitLimitMs, so that none is ever left pending.
// waitCommEvent runs on the event thread while the other calls come from another: each call has
// an OVERLAPPED and an event of its own. Free of Qt.
#include <windows.h>

#include <mutex>

#include "serial/commapi.h"

namespace commapi::win32 {

class Win32Port final : public CommPort {
public:
    // Takes ownership of handle (open, overlapped); found and foundTimeouts are put back at close.
    Win32Port(HANDLE handle, const ::DCB& found, const ::COMMTIMEOUTS& foundTimeouts);
    ~Win32Port() override;
    Win32Port(const Win32Port&) = delete;
    Win32Port& operator=(const Win32Port&) = delete;

    bool valid() const { return wake_ != nullptr; }

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

private:
    // The handle while open, else null with the last error kClosed.
    HANDLE open() const;
    // One overlapped transfer (ReadFile when in, else WriteFile), cancelled at waitLimitMs.
    bool transfer(bool in, void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs);

    HANDLE handle_;  // set at construction, INVALID_HANDLE_VALUE after closeHandle (GUI thread)
    const ::DCB found_;
    const ::COMMTIMEOUTS foundTimeouts_;
    HANDLE wake_ = nullptr;  // set by setCommMask: ends a wait in progress

    std::mutex m_;              // guards the three below
    bool maskChanged_ = false;  // the next (or current) wait returns with no events
    bool waiting_ = false;      // a thread is inside waitCommEvent
    COMMTIMEOUTS timeouts_{};   // what setCommTimeouts gave the driver
};

}  // namespace commapi::win32
