#pragma once
// The CPU time this process has used, user and system, in seconds: what a wait that must not
// spin costs is read as the difference of two readings.
#include <sys/resource.h>

namespace vttest {

inline double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace vttest
