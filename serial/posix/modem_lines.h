#pragma once
// Modem-line changes as comm events. Free of Qt and I/O.
#include "serial/commapi.h"

namespace commapi {

// The modem-line state of a device that has modem lines, as transition counts where the
// driver keeps them (TIOCGICOUNT) and the current levels otherwise.
struct LineCounts {
    bool counted = false;  // the counts below are the driver's; else only the levels are
    unsigned cts = 0, dsr = 0, ring = 0, rlsd = 0, overrun = 0;
    bool ctsOn = false, dsrOn = false, ringOn = false, rlsdOn = false;
};

// kEvCts, kEvDsr, kEvRlsd when those lines changed, kEvRing when the ring indicator came on,
// kEvErr when the device lost bytes (errors gets kCeOverrun).
inline DWORD lineEvents(const LineCounts& was, const LineCounts& now, DWORD& errors) {
    DWORD ev = 0;
    if (was.counted && now.counted) {
        if (now.cts != was.cts) ev |= kEvCts;
        if (now.dsr != was.dsr) ev |= kEvDsr;
        if (now.rlsd != was.rlsd) ev |= kEvRlsd;
        if (now.ring != was.ring) ev |= kEvRing;
        if (now.overrun != was.overrun) {
            ev |= kEvErr;
            errors |= kCeOverrun;
        }
    } else {
        if (now.ctsOn != was.ctsOn) ev |= kEvCts;
        if (now.dsrOn != was.dsrOn) ev |= kEvDsr;
        if (now.rlsdOn != was.rlsdOn) ev |= kEvRlsd;
        if (now.ringOn && !was.ringOn) ev |= kEvRing;
    }
    return ev;
}

}  // namespace commapi
