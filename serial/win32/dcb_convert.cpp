#include "serial/win32/dcb_convert.h"

namespace commapi::win32 {
namespace {

DWORD bit(bool on, DWORD flag) { return on ? flag : 0; }
DWORD field(DWORD flags, DWORD shift) { return (flags >> shift) & 3u; }

}  // namespace

DCB fromSystem(const ::DCB& s) {
    DCB d;
    d.BaudRate = s.BaudRate;
    d.Flags = bit(s.fBinary, fBinary) | bit(s.fParity, fParity) | bit(s.fOutxCtsFlow, fOutxCtsFlow) |
              bit(s.fOutxDsrFlow, fOutxDsrFlow) | (DWORD{s.fDtrControl} << fDtrControlShift) |
              bit(s.fDsrSensitivity, fDsrSensitivity) | bit(s.fTXContinueOnXoff, fTXContinueOnXoff) |
              bit(s.fOutX, fOutX) | bit(s.fInX, fInX) | bit(s.fErrorChar, fErrorChar) | bit(s.fNull, fNull) |
              (DWORD{s.fRtsControl} << fRtsControlShift) | bit(s.fAbortOnError, fAbortOnError);
    d.XonLim = s.XonLim;
    d.XoffLim = s.XoffLim;
    d.ByteSize = s.ByteSize;
    d.Parity = s.Parity;
    d.StopBits = s.StopBits;
    d.XonChar = s.XonChar;
    d.XoffChar = s.XoffChar;
    d.ErrorChar = s.ErrorChar;
    d.EofChar = s.EofChar;
    d.EvtChar = s.EvtChar;
    return d;
}

::DCB toSystem(const DCB& d) {
    ::DCB s{};
    s.DCBlength = sizeof s;
    s.BaudRate = d.BaudRate;
    s.fBinary = (d.Flags & fBinary) != 0;
    s.fParity = (d.Flags & fParity) != 0;
    s.fOutxCtsFlow = (d.Flags & fOutxCtsFlow) != 0;
    s.fOutxDsrFlow = (d.Flags & fOutxDsrFlow) != 0;
    s.fDtrControl = field(d.Flags, fDtrControlShift);
    s.fDsrSensitivity = (d.Flags & fDsrSensitivity) != 0;
    s.fTXContinueOnXoff = (d.Flags & fTXContinueOnXoff) != 0;
    s.fOutX = (d.Flags & fOutX) != 0;
    s.fInX = (d.Flags & fInX) != 0;
    s.fErrorChar = (d.Flags & fErrorChar) != 0;
    s.fNull = (d.Flags & fNull) != 0;
    s.fRtsControl = field(d.Flags, fRtsControlShift);
    s.fAbortOnError = (d.Flags & fAbortOnError) != 0;
    s.XonLim = d.XonLim;
    s.XoffLim = d.XoffLim;
    s.ByteSize = d.ByteSize;
    s.Parity = d.Parity;
    s.StopBits = d.StopBits;
    s.XonChar = d.XonChar;
    s.XoffChar = d.XoffChar;
    s.ErrorChar = d.ErrorChar;
    s.EofChar = d.EofChar;
    s.EvtChar = d.EvtChar;
    return s;
}

COMSTAT fromSystem(const ::COMSTAT& s) {
    COMSTAT c;
    c.Flags = bit(s.fCtsHold, 1u << 0) | bit(s.fDsrHold, 1u << 1) | bit(s.fRlsdHold, 1u << 2) |
              bit(s.fXoffHold, 1u << 3) | bit(s.fXoffSent, 1u << 4) | bit(s.fEof, 1u << 5) | bit(s.fTxim, 1u << 6);
    c.cbInQue = s.cbInQue;
    c.cbOutQue = s.cbOutQue;
    return c;
}

}  // namespace commapi::win32
