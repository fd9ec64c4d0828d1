#pragma once
// The comm layer: the shape of the Windows comm API (DCB, COMMTIMEOUTS, COMSTAT, the event,
// purge and escape constants) behind an interface, so the component can run on the back end the
// build picks (serial/posix on Linux) or on a fake. Free of Qt.
//
// Names: a Windows back end includes the system's headers beside this one, and those define
// the constants and some calls as macros. So every constant here is k + the Windows name in
// CamelCase words (EV_RXCHAR -> kEvRxChar, ONE5STOPBITS -> kOne5StopBits, MAXDWORD ->
// kMaxDword) and every call is the Windows name with a lower-case first letter (CreateFile ->
// createFile, ReadFile -> readFile). Types, struct fields and DCB's flag bits keep the Windows
// spelling: the system declares those as typedefs and members, which this namespace keeps apart.
#include <cstdint>
#include <memory>
#include <string>

namespace commapi {

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;

constexpr DWORD kMaxDword = 0xFFFFFFFFu;

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

constexpr DWORD kDtrControlDisable = 0, kDtrControlEnable = 1, kDtrControlHandshake = 2;
constexpr DWORD kRtsControlDisable = 0, kRtsControlEnable = 1, kRtsControlHandshake = 2, kRtsControlToggle = 3;

constexpr BYTE kNoParity = 0, kOddParity = 1, kEvenParity = 2, kMarkParity = 3, kSpaceParity = 4;
constexpr BYTE kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2;

struct DCB {
    DWORD DCBlength = sizeof(DCB);
    DWORD BaudRate = 0;
    DWORD Flags = 0;  // the 32-bit flag word, bit layout above
    WORD wReserved = 0;
    WORD XonLim = 0;
    WORD XoffLim = 0;
    BYTE ByteSize = 8;
    BYTE Parity = kNoParity;
    BYTE StopBits = kOneStopBit;
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

constexpr DWORD kEvRxChar = 0x0001, kEvRxFlag = 0x0002, kEvTxEmpty = 0x0004, kEvCts = 0x0008, kEvDsr = 0x0010,
                kEvRlsd = 0x0020, kEvBreak = 0x0040, kEvErr = 0x0080, kEvRing = 0x0100;

constexpr DWORD kPurgeTxAbort = 0x0001, kPurgeRxAbort = 0x0002, kPurgeTxClear = 0x0004, kPurgeRxClear = 0x0008;

constexpr DWORD kCeRxOver = 0x0001, kCeOverrun = 0x0002, kCeRxParity = 0x0004, kCeFrame = 0x0008, kCeBreak = 0x0010;

constexpr DWORD kSetXoff = 1, kSetXon = 2, kSetRts = 3, kClrRts = 4, kSetDtr = 5, kClrDtr = 6, kSetBreak = 8,
                kClrBreak = 9;

// Why the last failed call of the layer or of one of its ports failed (CommLayer::lastError):
// what kind of failure, and the system's error number behind it. Every call that returns false
// (or createFile null) sets it for the calling thread, as GetLastError's value is set.
enum class CommCode : BYTE {
    kNone,     // nothing has failed since the last successful createFile
    kSystem,   // the system refused a call; error is its errno. A device that has gone (unplugged,
               // hung up) fails every transfer from then on with what the system said when it went
               // (ENODEV when it said nothing); the component and the link know it by the queue
               // that clearCommError can no longer count once it is empty
    kRefused,  // the layer refused: a name that is no port or whose alias is refused, a device that
               // is no terminal or that another program holds exclusively, a value out of range, a
               // second wait (error: ENOENT, kUnitEnded, ENOTTY, EBUSY, EINVAL ...)
    kClosed,   // the port was closed before the call (error EBADF)
};

struct CommError {
    CommCode code = CommCode::kNone;
    int error = 0;  // errno; 0 exactly when code is kNone
    friend bool operator==(const CommError&, const CommError&) = default;
};

// One open port: the handle-taking calls of the Windows API as members. Transfers are synchronous:
// readFile/writeFile return when done, when the driver's time limits end them, or at waitLimitMs,
// so nothing is ever left pending on a buffer after they return.
// Threads: waitCommEvent runs on one thread (the event thread) while another uses every other
// call; implementations make that safe.
class CommPort {
public:
    virtual ~CommPort() = default;
    virtual bool setupComm(DWORD inQueue, DWORD outQueue) = 0;
    virtual bool getCommState(DCB& dcb) = 0;
    virtual bool setCommState(const DCB& dcb) = 0;
    virtual bool getCommTimeouts(COMMTIMEOUTS& t) = 0;
    virtual bool setCommTimeouts(const COMMTIMEOUTS& t) = 0;
    // Replaces the event mask; a wait in progress returns at once with no events.
    virtual bool setCommMask(DWORD mask) = 0;
    // Blocks until an event of the mask occurs (occurred = those events) or the mask changes
    // (occurred = 0). False when the wait itself failed.
    virtual bool waitCommEvent(DWORD& occurred) = 0;
    virtual bool purgeComm(DWORD flags) = 0;
    virtual bool clearCommError(DWORD& errors, COMSTAT& stat) = 0;
    virtual bool escapeCommFunction(DWORD func) = 0;
    // True when the transfer ended without error; done holds the bytes moved (maybe fewer than
    // count when a time limit ended it).
    virtual bool readFile(void* buffer, DWORD count, DWORD& done, DWORD waitLimitMs) = 0;
    virtual bool writeFile(const void* data, DWORD count, DWORD& done, DWORD waitLimitMs) = 0;
    // Releases the device; false when the system reported an error. Called once, last.
    virtual bool closeHandle() = 0;
};

// Opens ports by name (CreateFileA: read/write, exclusive, overlapped).
class CommLayer {
public:
    virtual ~CommLayer() = default;
    // Null when the port cannot be opened (missing, not a serial device, in use); lastError
    // then says why.
    virtual std::unique_ptr<CommPort> createFile(const std::string& name) = 0;
    // Like GetLastError: why this thread's last failed call of the layer or of one of its ports
    // failed (kNone after a successful createFile).
    virtual CommError lastError() const = 0;
};

// The back end the build picked, shared by every component that is given no other layer.
// Defined by that back end's folder (serial/posix), never chosen at run time.
CommLayer& defaultLayer();

// Why port did not open, as one line of English for the operator: the part FormatMessage plays
// for GetLastError, with what the system can tell about the device (its group, the process that
// holds it). error is lastError().error after a failed createFile; "" for 0. Defined by the back end.
std::string openFailureReason(const std::string& port, int error);

}  // namespace commapi
