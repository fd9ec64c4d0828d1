#pragma once
// The termios side of the POSIX back end: DCB <-> termios through the termios2 ioctls (so any
// baud rate the device takes can be set), raw mode, flushes and modem lines. Free of Qt.
#include "serial/commapi.h"
#include "serial/posix/modem_lines.h"

namespace commapi::tty {

// Raw mode: no echo, no line editing, no signals, no translation; reads of one byte at least.
bool makeRaw(int fd);
// Applies the DCB's rate, byte size, parity, stop bits, flow control and XON/XOFF characters.
// Leaves the device as it was and returns false when a value is invalid or the device refuses
// it (a rate it cannot do reads back different); errno then says why (EINVAL for both).
bool applyDcb(int fd, const DCB& dcb);
// Overwrites in dcb what termios holds: rate, byte size, parity, stop bits, flow control
// bits and XON/XOFF characters. Other fields are left alone.
bool readDcb(int fd, DCB& dcb);

// Whether line errors arrive marked in the stream (PARMRK), so that 0xFF bytes come doubled.
bool marksErrors(int fd);

bool flushInput(int fd);
bool flushOutput(int fd);
// Modem line control; false where the device has no modem lines (ptys).
bool setModemLines(int fd, bool rts, bool on);
bool setBreak(int fd, bool on);

// The driver's low-latency mode: a USB adapter's driver then asks the adapter to pass received
// bytes on at once instead of at the end of its latency timer.
enum class LowLatency { Unsupported, Off, On };

// What a port asks of the device while it is open: the seam where tests play a device that a
// pseudo-terminal cannot be (an output queue that takes its time, modem lines, a driver with a
// low-latency mode).
class Queries {
public:
    virtual ~Queries() = default;
    // Bytes still waiting in the device's output queue, or -1.
    virtual int outputQueued(int fd) const = 0;
    // False where the device has no modem lines (ptys).
    virtual bool readLines(int fd, LineCounts& lines) const = 0;
    // Unsupported where the driver has no serial info (ptys, ENOTTY) or refuses it.
    virtual LowLatency lowLatency(int fd) const = 0;
    // False (errno says why) where the driver does not take it; nothing else changes.
    virtual bool setLowLatency(int fd, bool on) const = 0;
};
// The device's own answers (TIOCOUTQ, TIOCMGET, TIOCGICOUNT, TIOCGSERIAL/TIOCSSERIAL).
const Queries& deviceQueries();

bool setXoffState(int fd, bool off);
// Exclusive use against other opens of the device (lifted again before closing).
bool setExclusive(int fd, bool on);
// Whether some open of the device has asked for exclusive use (false when that cannot be told).
bool isExclusive(int fd);

// The device's settings as found before the port changed any: termios, and DTR and RTS where
// the device has modem lines. Opaque here: the termios2 layout stays inside tty_ioctl.cpp.
struct FoundMode {
    alignas(8) unsigned char termios[64] = {};
    bool valid = false;
    bool hasLines = false;
    bool dtr = false;
    bool rts = false;
    bool lowLatencyAdded = false;  // the port turned the driver's low-latency mode on
};
FoundMode readMode(int fd);
// Puts back what readMode found (lines first, then termios).
bool restoreMode(int fd, const FoundMode& mode);

}  // namespace commapi::tty
