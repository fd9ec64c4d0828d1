// Uses the kernel's termios2 directly: glibc's <termios.h> cannot express rates outside the
// Bxxx table, and the two headers cannot share a translation unit.
#include "serial/posix/tty_ioctl.h"

#include <asm/termios.h>
#include <linux/serial.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace commapi::tty {
namespace {

bool get(int fd, termios2& t) { return ioctl(fd, TCGETS2, &t) == 0; }
bool set(int fd, const termios2& t) { return ioctl(fd, TCSETS2, &t) == 0; }

// The classic rate codes, so programs that only know <termios.h> still read the rate back;
// BOTHER carries every other rate.
tcflag_t rateCode(DWORD rate) {
    struct Code {
        DWORD rate;
        tcflag_t code;
    };
    static constexpr Code codes[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
        {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
        {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
        {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
        {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
    };
    for (const Code& c : codes) {
        if (c.rate == rate) return c.code;
    }
    return BOTHER;
}

// Unix98 pty slaves (majors 136 to 143) have no line: the kernel forces 8 bits and no parity
// on them, so their frame cannot be read back.
bool isPseudoTerminal(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return false;
    const unsigned major = (st.st_rdev >> 8) & 0xFFF;
    return major >= 136 && major <= 143;
}

bool sameMode(int fd, const termios2& a, const termios2& b) {
    tcflag_t cmask = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS;
    if (isPseudoTerminal(fd)) cmask &= ~tcflag_t(CSIZE | PARENB);
    return (a.c_cflag & cmask) == (b.c_cflag & cmask) && a.c_ospeed == b.c_ospeed &&
           (a.c_iflag & (IXON | IXOFF | INPCK)) == (b.c_iflag & (IXON | IXOFF | INPCK)) &&
           a.c_cc[VSTART] == b.c_cc[VSTART] && a.c_cc[VSTOP] == b.c_cc[VSTOP];
}

}  // namespace

bool makeRaw(int fd) {
    termios2 t{};
    if (!get(fd, t)) return false;
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | IGNPAR | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | IMAXBEL |
                           IUCLC | IUTF8);
    // Breaks and characters with line errors arrive marked in the stream (the 0xFF byte
    // doubled): the port turns the marks into kEvBreak and kEvErr.
    t.c_iflag |= PARMRK;
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN | ECHOE | ECHOK | TOSTOP);
    t.c_cflag &= ~tcflag_t(HUPCL);
    t.c_cflag |= CREAD | CLOCAL;
    // One byte at least, so a non-blocking read of an empty queue says EAGAIN, not 0 (which
    // then means the device has gone).
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return set(fd, t);
}

namespace {

// The frame: data bits, parity, stop bits. False when the DCB asks for one no UART sends.
bool putFrame(termios2& t, const DCB& dcb) {
    t.c_cflag &= ~tcflag_t(CSIZE);
    switch (dcb.ByteSize) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        case 8: t.c_cflag |= CS8; break;
        default: return false;
    }

    t.c_cflag &= ~tcflag_t(PARENB | PARODD | CMSPAR);
    switch (dcb.Parity) {
        case kNoParity: break;
        case kOddParity: t.c_cflag |= PARENB | PARODD; break;
        case kEvenParity: t.c_cflag |= PARENB; break;
        case kMarkParity: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case kSpaceParity: t.c_cflag |= PARENB | CMSPAR; break;
        default: return false;
    }

    // A UART sends 1.5 stop bits for 5-bit bytes when asked for two; Windows allows 1.5 only
    // with 5 data bits and 2 only with more.
    t.c_cflag &= ~tcflag_t(CSTOPB);
    switch (dcb.StopBits) {
        case kOneStopBit: break;
        case kOne5StopBits:
            if (dcb.ByteSize != 5) return false;
            t.c_cflag |= CSTOPB;
            break;
        case kTwoStopBits:
            if (dcb.ByteSize == 5) return false;
            t.c_cflag |= CSTOPB;
            break;
        default: return false;
    }
    return true;
}

// Flow control, the parity check, XON/XOFF characters and the rate.
void putFlowAndRate(termios2& t, const DCB& dcb) {
    const DWORD rts = (dcb.Flags >> fRtsControlShift) & 3u;
    t.c_cflag &= ~tcflag_t(CRTSCTS);
    if ((dcb.Flags & fOutxCtsFlow) || rts == kRtsControlHandshake) t.c_cflag |= CRTSCTS;

    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK | IGNPAR);
    if (dcb.Flags & fOutX) t.c_iflag |= IXON;
    if (dcb.Flags & fInX) t.c_iflag |= IXOFF;
    if (dcb.Flags & fParity) t.c_iflag |= INPCK;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);

    t.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << IBSHIFT));
    const tcflag_t code = rateCode(dcb.BaudRate);
    t.c_cflag |= code | (code << IBSHIFT);
    t.c_ispeed = dcb.BaudRate;
    t.c_ospeed = dcb.BaudRate;
}

}  // namespace

bool applyDcb(int fd, const DCB& dcb) {
    termios2 before{};
    if (!get(fd, before)) return false;
    termios2 t = before;
    if (dcb.BaudRate == 0 || !putFrame(t, dcb)) {
        errno = EINVAL;
        return false;
    }
    putFlowAndRate(t, dcb);
    if (!set(fd, t)) {
        const int err = errno;
        set(fd, before);
        errno = err;
        return false;
    }
    termios2 after{};
    if (!get(fd, after) || !sameMode(fd, after, t)) {
        set(fd, before);
        errno = EINVAL;  // the device cannot do it: it reads back different
        return false;
    }
    return true;
}

bool readDcb(int fd, DCB& dcb) {
    termios2 t{};
    if (!get(fd, t)) return false;
    dcb.BaudRate = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
        case CS5: dcb.ByteSize = 5; break;
        case CS6: dcb.ByteSize = 6; break;
        case CS7: dcb.ByteSize = 7; break;
        default: dcb.ByteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB)) {
        dcb.Parity = kNoParity;
    } else if (t.c_cflag & CMSPAR) {
        dcb.Parity = (t.c_cflag & PARODD) ? kMarkParity : kSpaceParity;
    } else {
        dcb.Parity = (t.c_cflag & PARODD) ? kOddParity : kEvenParity;
    }
    if (!(t.c_cflag & CSTOPB)) {
        dcb.StopBits = kOneStopBit;
    } else {
        dcb.StopBits = dcb.ByteSize == 5 ? kOne5StopBits : kTwoStopBits;
    }
    auto flag = [&](DWORD bit, bool on) { dcb.Flags = on ? (dcb.Flags | bit) : (dcb.Flags & ~bit); };
    flag(fOutxCtsFlow, t.c_cflag & CRTSCTS);
    flag(fOutX, t.c_iflag & IXON);
    flag(fInX, t.c_iflag & IXOFF);
    flag(fParity, t.c_iflag & INPCK);
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return true;
}

bool marksErrors(int fd) {
    termios2 t{};
    return get(fd, t) && (t.c_iflag & PARMRK) && !(t.c_iflag & IGNPAR);
}

bool flushInput(int fd) { return ioctl(fd, TCFLSH, TCIFLUSH) == 0; }
bool flushOutput(int fd) { return ioctl(fd, TCFLSH, TCOFLUSH) == 0; }

bool setModemLines(int fd, bool rts, bool on) {
    int bits = rts ? TIOCM_RTS : TIOCM_DTR;
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

namespace {

class DeviceQueries final : public Queries {
public:
    int outputQueued(int fd) const override {
        int n = 0;
        return ioctl(fd, TIOCOUTQ, &n) == 0 ? n : -1;
    }
    bool readLines(int fd, LineCounts& lines) const override {
        int bits = 0;
        if (ioctl(fd, TIOCMGET, &bits) != 0) return false;
        lines.ctsOn = bits & TIOCM_CTS;
        lines.dsrOn = bits & TIOCM_DSR;
        lines.ringOn = bits & TIOCM_RNG;
        lines.rlsdOn = bits & TIOCM_CAR;
        serial_icounter_struct c{};
        lines.counted = ioctl(fd, TIOCGICOUNT, &c) == 0;
        if (lines.counted) {
            lines.cts = static_cast<unsigned>(c.cts);
            lines.dsr = static_cast<unsigned>(c.dsr);
            lines.ring = static_cast<unsigned>(c.rng);
            lines.rlsd = static_cast<unsigned>(c.dcd);
            lines.overrun = static_cast<unsigned>(c.overrun + c.buf_overrun);
        }
        return true;
    }
    LowLatency lowLatency(int fd) const override {
        serial_struct info{};
        if (ioctl(fd, TIOCGSERIAL, &info) != 0) return LowLatency::Unsupported;
        return (info.flags & ASYNC_LOW_LATENCY) ? LowLatency::On : LowLatency::Off;
    }
    bool setLowLatency(int fd, bool on) const override {
        serial_struct info{};
        if (ioctl(fd, TIOCGSERIAL, &info) != 0) return false;
        info.flags = on ? (info.flags | ASYNC_LOW_LATENCY) : (info.flags & ~ASYNC_LOW_LATENCY);
        return ioctl(fd, TIOCSSERIAL, &info) == 0;
    }
};

}  // namespace

const Queries& deviceQueries() {
    static const DeviceQueries queries;
    return queries;
}

bool setBreak(int fd, bool on) { return ioctl(fd, on ? TIOCSBRK : TIOCCBRK) == 0; }
bool setXoffState(int fd, bool off) { return ioctl(fd, TCXONC, off ? TCOOFF : TCOON) == 0; }
bool setExclusive(int fd, bool on) { return ioctl(fd, on ? TIOCEXCL : TIOCNXCL) == 0; }

bool isExclusive(int fd) {
    int on = 0;
    return ioctl(fd, TIOCGEXCL, &on) == 0 && on != 0;
}

static_assert(sizeof(termios2) <= sizeof(FoundMode::termios));

FoundMode readMode(int fd) {
    FoundMode mode;
    termios2 t{};
    if (get(fd, t)) {
        std::memcpy(mode.termios, &t, sizeof t);
        mode.valid = true;
    }
    int bits = 0;
    mode.hasLines = ioctl(fd, TIOCMGET, &bits) == 0;
    mode.dtr = bits & TIOCM_DTR;
    mode.rts = bits & TIOCM_RTS;
    return mode;
}

bool restoreMode(int fd, const FoundMode& mode) {
    bool ok = true;
    if (mode.hasLines) {
        ok = setModemLines(fd, false, mode.dtr) && ok;
        ok = setModemLines(fd, true, mode.rts) && ok;
    }
    if (mode.valid) {
        termios2 t{};
        std::memcpy(&t, mode.termios, sizeof t);
        ok = set(fd, t) && ok;
    }
    return ok;
}

}  // namespace commapi::tty
