#pragma once
// The POSIX back end's last-error value (CommLayer::lastError), one per thread like the value it
// stands for, so that ports used on two threads never see each other's reasons.
namespace commapi {

inline thread_local int tLastError = 0;

// Records err as this thread's last error; false, for `return failed(errno);`.
inline bool failed(int err) {
    tLastError = err;
    return false;
}

}  // namespace commapi
