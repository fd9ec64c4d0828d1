#pragma once
// The Windows back end's last-error value (CommLayer::lastError), one per thread as
// GetLastError's, and what the system's error codes (a DWORD) mean in its outcome values.
#include "serial/commapi.h"

namespace commapi::win32 {

inline thread_local CommError tLastError;

// Records why a call failed; false, for `return failed(...)`.
inline bool failed(CommCode code, int err) {
    tLastError = {code, err};
    return false;
}

// Why an open failed: no such port (kSystem ENOENT, as a missing device node), in use (kRefused
// EBUSY: Windows says "access denied" for a port another program holds), no serial device
// (kRefused ENOTTY).
CommError openError(unsigned long code);
// Why a call on an open port failed: kClosed EBADF for a closed handle, kSystem with ENODEV for a
// device that has gone, as the POSIX back end says it.
CommError portError(unsigned long code);

}  // namespace commapi::win32
