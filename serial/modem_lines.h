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

// EV_CTS, EV_DSR, EV_RLSD when those lines changed, EV_RING when the ring indicator came on,
// EV_ERR when the device lost bytes (errors gets CE_OVERRUN).
inline DWORD lineEvents(const LineCounts& was, const LineCounts& now, DWORD& errors) {
    DWORD ev = 0;
    if (was.counted && now.counted) {
        if (now.cts != was.cts) ev |= EV_CTS;
        if (now.dsr != was.dsr) ev |= EV_DSR;
        if (now.rlsd != was.rlsd) ev |= EV_RLSD;
        if (now.ring != was.ring) ev |= EV_RING;
        if (now.overrun != was.overrun) {
            ev |= EV_ERR;
            errors |= CE_OVERRUN;
        }
    } else {
        if (now.ctsOn != was.ctsOn) ev |= EV_CTS;
        if (now.dsrOn != was.dsrOn) ev |= EV_DSR;
        if (now.rlsdOn != was.rlsdOn) ev |= EV_RLSD;
        if (now.ringOn && !was.ringOn) ev |= EV_RING;
    }
    return ev;
}

}  // namespace commapi
