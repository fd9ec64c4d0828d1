// A Windows back end includes the system's headers and the comm layer in one file: this one
// does the same with a stand-in for those headers, and only has to compile.
#include "sdk_macros_standin.h"
#include "serial/commapi.h"

namespace commapi {

// The layer keeps the system's values under its own names.
static_assert(kMaxDword == MAXDWORD);
static_assert(kDtrControlDisable == DTR_CONTROL_DISABLE && kDtrControlEnable == DTR_CONTROL_ENABLE &&
              kDtrControlHandshake == DTR_CONTROL_HANDSHAKE);
static_assert(kRtsControlDisable == RTS_CONTROL_DISABLE && kRtsControlEnable == RTS_CONTROL_ENABLE &&
              kRtsControlHandshake == RTS_CONTROL_HANDSHAKE && kRtsControlToggle == RTS_CONTROL_TOGGLE);
static_assert(kNoParity == NOPARITY && kOddParity == ODDPARITY && kEvenParity == EVENPARITY &&
              kMarkParity == MARKPARITY && kSpaceParity == SPACEPARITY);
static_assert(kOneStopBit == ONESTOPBIT && kOne5StopBits == ONE5STOPBITS && kTwoStopBits == TWOSTOPBITS);
static_assert(kEvRxChar == EV_RXCHAR && kEvRxFlag == EV_RXFLAG && kEvTxEmpty == EV_TXEMPTY && kEvCts == EV_CTS &&
              kEvDsr == EV_DSR && kEvRlsd == EV_RLSD && kEvBreak == EV_BREAK && kEvErr == EV_ERR && kEvRing == EV_RING);
static_assert(kPurgeTxAbort == PURGE_TXABORT && kPurgeRxAbort == PURGE_RXABORT && kPurgeTxClear == PURGE_TXCLEAR &&
              kPurgeRxClear == PURGE_RXCLEAR);
static_assert(kCeRxOver == CE_RXOVER && kCeOverrun == CE_OVERRUN && kCeRxParity == CE_RXPARITY &&
              kCeFrame == CE_FRAME && kCeBreak == CE_BREAK);
static_assert(kSetXoff == SETXOFF && kSetXon == SETXON && kSetRts == SETRTS && kClrRts == CLRRTS && kSetDtr == SETDTR &&
              kClrDtr == CLRDTR && kSetBreak == SETBREAK && kClrBreak == CLRBREAK);

// A port of that back end names the system's types and calls beside the layer's.
class SdkPort : public CommPort {
public:
    bool setCommState(const DCB& dcb) override { return dcb.BaudRate != 0; }
    ::DCB systemDcb() const { return ::DCB{sizeof(::DCB), 0}; }
};

}  // namespace commapi
