#pragma once
// The comm layer: the shape of the Windows comm API (DCB, COMMTIMEOUTS, COMSTAT, the EV_, PURGE_
// and escape constants) behind an interface, so the component can run on the POSIX back end or
// on a fake. Free of Qt.
#include <cstdint>
#include <memory>
#include <string>

namespace commapi {

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;

constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

// Flag word bits of DCB::Flags (fBinary is bit 0 ... fAbortOnError bit 14; the rest is fDummy2).
constexpr DWORD fBinary = 1u << 0;
constexpr DWORD fParity = 1u << 1;
constexpr DWORD fOutxCtsFlow = 1u << 2;
constexpr DWORD fOutxDsrFlow = 1u << 3;
constexpr DWORD fDtrControlShift = 4;  // two bits
constexpr DWORD fDsrSensitivity = 1u << 6;
constexpr DWORD fTXContinueOnXoff = 1u << 7;
constexpr DWORD fOutX = 1u << 8;
constexpr DWORD fInX = 1u << 9;
constexpr DWORD fErrorChar = 1u << 10;
constexpr DWORD fNull = 1u << 11;
constexpr DWORD fRtsControlShift = 12;  // two bits
constexpr DWORD fAbortOnError = 1u << 14;

constexpr DWORD DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2;
constexpr DWORD RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2,
                RTS_CONTROL_TOGGLE = 3;

constexpr BYTE NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr BYTE ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

struct DCB {
    DWORD DCBlength = sizeof(DCB);
    DWORD BaudRate = 0;
    DWORD Flags = 0;  // the 32-bit flag word, bit layout above
    WORD wReserved = 0;
    WORD XonLim = 0;
    WORD XoffLim = 0;
    BYTE ByteSize = 8;
    BYTE Parity = NOPARITY;
    BYTE StopBits = ONESTOPBIT;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    WORD wReserved1 = 0;
};

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;
};

struct COMSTAT {
    DWORD Flags = 0;
    DWORD cbInQue = 0;
    DWORD cbOutQue = 0;
};

constexpr DWORD EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004, EV_CTS = 0x0008,
                EV_DSR = 0x0010, EV_RLSD = 0x0020, EV_BREAK = 0x0040, EV_ERR = 0x0080,
                EV_RING = 0x0100;

constexpr DWORD PURGE_TXABORT = 0x0001, PURGE_RXABORT = 0x0002, PURGE_TXCLEAR = 0x0004,
                PURGE_RXCLEAR = 0x0008;

constexpr DWORD CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004, CE_FRAME = 0x0008,
                CE_BREAK = 0x0010;

constexpr DWORD SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6,
                SETBREAK = 8, CLRBREAK = 9;

// One open port: the handle-taking calls of the Windows API as members. Transfers are synchronous:
// ReadFile/WriteFile return when done, when the driver's time limits end them, or at waitLimitMs,
// so nothing is ever left pending on a buffer after they return.
// Threads: WaitCommEvent runs on one thread (the event thread) while another uses every other
// call; implementations make that safe.
class CommPort {
public:
    virtual ~CommPort() = default;
    virtual bool SetupComm(DWORD inQueue, DWORD outQueue) = 0;
    virtual bool GetCommState(DCB& dcb) = 0;
    virtual bool SetCommState(const DCB& dcb) = 0;
    virtual bool GetCommTimeouts(COMMTIMEOUTS& t) = 0;
    virtual bool SetCommTimeouts(const COMMTIMEOUTS& t) = 0;
    // Replaces the event mask; a wait in progress returns at once with no events.
    virtual bool SetCommMask(DWORD mask) = 0;
    // Blocks until an event of the mask occurs (occurred = those events) or the mask changes
    // (occurred = 0). False when the wait itself failed.
    virtual bool WaitCommEvent(DWORD& occurred) = 0;
    virtual bool PurgeComm(DWORD flags) = 0;
    virtual bool ClearCommError(DWORD& errors, COMSTAT& stat) = 0;
    virtual bool EscapeCommFunction(DWORD func) = 0;
    // True when the transfer ended without error; done holds the bytes moved (maybe fewer than
    // count when a time limit ended it).
    virtual bool ReadFile(void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs) = 0;
    virtual bool WriteFile(const void* data, DWORD count, DWORD& done, DWORD waitLimitMs) = 0;
    // Releases the device; false when the system reported an error. Called once, last.
    virtual bool CloseHandle() = 0;
};

// Opens ports by name (CreateFileA: read/write, exclusive, overlapped).
class CommLayer {
public:
    virtual ~CommLayer() = default;
    // Null when the port cannot be opened (missing, not a serial device, in use).
    virtual std::unique_ptr<CommPort> CreateFile(const std::string& name) = 0;
};

// The POSIX termios back end, shared by every component that is given no other layer.
CommLayer& posixLayer();

}  // namespace commapi
