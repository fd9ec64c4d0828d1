#pragma once
// The POSIX back end's last-error value (CommLayer::lastError), one per thread like the value it
// stands for, so that ports used on two threads never see each other's reasons.
#include <cerrno>

#include "serial/commapi.h"

namespace commapi {

inline thread_local CommError tLastError;

// Records why a call failed as this thread's last error; false, for `return failed(...)`.
inline bool failed(CommCode code, int err) {
    tLastError = {code, err};
    return false;
}
// A system call failed with err.
inline bool failed(int err) { return failed(CommCode::kSystem, err); }

}  // namespace commapi
