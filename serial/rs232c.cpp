#include "serial/rs232c.h"

#include <array>
#include <utility>

#include "common/exception_report.h"
#include "common/notifier.h"
#include "serial/comthd.h"

using namespace commapi;

namespace {

constexpr DWORD kPurgeAbort = kPurgeTxAbort | kPurgeRxAbort;
constexpr DWORD kPurgeAll = kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear;

struct ParityName {
    const char* text;
    BYTE parity;
};

// Exact, case-sensitive names; full-width and half-width forms are separate entries.
constexpr std::array<ParityName, 26> kParityNames{{
    {"無し", kNoParity},       {"なし", kNoParity},
    {"奇数", kOddParity},      {"きすう", kOddParity},     {"ODD", kOddParity},
    {"odd", kOddParity},       {"ＯＤＤ", kOddParity},     {"ｏｄｄ", kOddParity},
    {"偶数", kEvenParity},     {"ぐうすう", kEvenParity},  {"EVEN", kEvenParity},
    {"even", kEvenParity},     {"ＥＶＥＮ", kEvenParity},  {"ｅｖｅｎ", kEvenParity},
    {"マーク", kMarkParity},   {"まーく", kMarkParity},    {"MARK", kMarkParity},
    {"mark", kMarkParity},     {"ＭＡＲＫ", kMarkParity},  {"ｍａｒｋ", kMarkParity},
    {"スペース", kSpaceParity}, {"すぺーす", kSpaceParity}, {"SPACE", kSpaceParity},
    {"space", kSpaceParity},   {"ＳＰＡＣＥ", kSpaceParity}, {"ｓｐａｃｅ", kSpaceParity},
}};

}  // namespace

Trs232c::Trs232c(QObject* owner) : Trs232c(owner, defaultLayer()) {}

Trs232c::Trs232c(QObject* owner, CommLayer& layer) : QObject(owner), layer_(layer) {
    eventwindow = std::make_unique<TEventWindow>(*this);
    if (OnCreate) OnCreate(this);
}

Trs232c::~Trs232c() {
    destroying_ = true;
    // OnClose runs here too; what it throws cannot leave a destructor.
    runGuarded([this] { Close(); });
    eventwindow.reset();
}

void Trs232c::showDebug(const char* text) const {
    if (debug_) notifier().showMessage(QString::fromUtf8(text));
}

bool Trs232c::Open() {
    if (isopen || destroying_) return false;
    // Called from OnClose: that close is finished first, so the port it held is free again.
    if (closing_) releaseHandle(*closing_);

    commhandle = layer_.createFile(portname_.toStdString());
    if (!commhandle) {
        showDebug("回線オープンエラー");
        return false;
    }
    // A failed step closes what it opened: the handle would otherwise stay open with nothing
    // left to close it, and keep the port locked.
    auto fail = [this](const char* text) {
        showDebug(text);
        commhandle->purgeComm(kPurgeAbort);
        commhandle->closeHandle();
        commhandle.reset();
        return false;
    };

    if (!commhandle->setupComm(static_cast<DWORD>(rxbuffsize_), static_cast<DWORD>(txbuffsize_))) {
        return fail("バッファサイズ設定エラー");
    }

    commhandle->getCommState(commstate);
    commstate.BaudRate = static_cast<DWORD>(bps_);
    if (stopbit_ == QLatin1String("1")) {
        commstate.StopBits = kOneStopBit;
    } else if (stopbit_ == QLatin1String("1.5")) {
        commstate.StopBits = kOne5StopBits;
    } else if (stopbit_ == QLatin1String("2")) {
        commstate.StopBits = kTwoStopBits;
    }
    for (const ParityName& p : kParityNames) {
        if (paritymode_ == QString::fromUtf8(p.text)) {
            commstate.Parity = p.parity;
            break;
        }
    }
    commstate.ByteSize = static_cast<BYTE>(charbit_ & 0xFF);
    commstate.Flags = static_cast<DWORD>(flowflag_);
    if (XonLim_ != 0) commstate.XonLim = static_cast<WORD>(XonLim_ & 0xFFFF);
    if (XoffLim_ != 0) commstate.XoffLim = static_cast<WORD>(XoffLim_ & 0xFFFF);
    if (XonChar_ != 0) commstate.XonChar = XonChar_;
    if (XoffChar_ != 0) commstate.XoffChar = XoffChar_;
    if (ErrorChar_ != 0) commstate.ErrorChar = ErrorChar_;
    if (EofChar_ != 0) commstate.EofChar = EofChar_;
    if (EvtChar_ != 0) commstate.EvtChar = EvtChar_;
    if (!commhandle->setCommState(commstate)) return fail("通信条件設定エラー");

    commhandle->getCommTimeouts(commtimeouts);
    commtimeouts.ReadIntervalTimeout = static_cast<DWORD>(readinterval_);
    commtimeouts.ReadTotalTimeoutMultiplier = 0;
    commtimeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(rxtimeout_);
    commtimeouts.WriteTotalTimeoutMultiplier = 0;
    commtimeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(txtimeout_);
    if (!commhandle->setCommTimeouts(commtimeouts)) return fail("タイムアウト時間設定エラー");

    eventmask = 0;
    if (OnBREAK) eventmask |= kEvBreak;
    if (OnCTS) eventmask |= kEvCts;
    if (OnDSR) eventmask |= kEvDsr;
    if (OnERR) eventmask |= kEvErr;
    if (OnRING) eventmask |= kEvRing;
    if (OnRLSD) eventmask |= kEvRlsd;
    if (OnRXCHAR) eventmask |= kEvRxChar;
    if (OnPACKET) eventmask |= kEvRxChar;
    if (OnRXFLAG) eventmask |= kEvRxFlag;
    if (OnTXEMPTY) eventmask |= kEvTxEmpty;

    commhandle->setCommMask(eventmask);
    commhandle->purgeComm(kPurgeAll);

    usethread = eventmask != 0;
    if (usethread) {
        eventthread = std::make_unique<tcommthread>(true);
        rxqueued.store(0, std::memory_order_relaxed);
        rxcharState_.store(kRxIdle, std::memory_order_relaxed);
        eventthread->commport = this;
        eventthread->commhandle = commhandle.get();
        eventthread->Resume();
    }

    isopen = true;
    if (OnOpen) OnOpen(this);
    return true;
}

bool Trs232c::Close() {
    if (!isopen) return false;
    commhandle->purgeComm(kPurgeAbort);
    if (usethread && eventthread) {
        eventthread->Terminate();
        commhandle->setCommMask(0);
        eventthread->WaitFor();
        eventthread.reset();
    }
    // Messages still queued for this opening are dropped on delivery.
    generation_.fetch_add(1, std::memory_order_release);
    isopen = false;

    // The handle leaves the component before OnClose: an Open from the handler puts its own
    // handle in its place, and this close still ends with the one it was closing.
    PendingClose pending{std::move(commhandle)};
    PendingClose* const outer = std::exchange(closing_, &pending);
    try {
        if (OnClose) OnClose(this);
    } catch (...) {
        closing_ = outer;
        releaseHandle(pending);
        throw;
    }
    closing_ = outer;
    return releaseHandle(pending);
}

bool Trs232c::releaseHandle(PendingClose& p) {
    if (p.handle) {
        p.ok = p.handle->closeHandle();
        p.handle.reset();
    }
    return p.ok;
}

bool Trs232c::Read(void* buffer, std::int32_t count) {
    if (!isopen || count < 0) return false;
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(count);
    const bool ok = commhandle->readFile(buffer, want, done, static_cast<DWORD>(rxtimeout_));
    rxTaken_ += done;
    // With these timeouts the driver completes every read at once with what is there, and a
    // read completed at once counts whatever it moved.
    const bool atOnce = commtimeouts.ReadIntervalTimeout == kMaxDword &&
                        commtimeouts.ReadTotalTimeoutMultiplier == 0 && commtimeouts.ReadTotalTimeoutConstant == 0;
    return ok && (atOnce || done == want);
}

bool Trs232c::Write(const void* data, std::int32_t count) {
    if (!isopen || count < 0) return false;
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(count);
    return commhandle->writeFile(data, want, done, static_cast<DWORD>(txtimeout_)) && done == want;
}

bool Trs232c::ReadByte(std::uint8_t& b) {
    if (!Read(&onebyte, 1)) return false;
    b = onebyte;
    return true;
}

bool Trs232c::WriteByte(std::uint8_t b) {
    onebyte = b;
    return Write(&onebyte, 1);
}

std::int32_t Trs232c::InQueueCount() {
    if (!isopen) return -1;
    DWORD errors = 0;
    COMSTAT status;
    if (!commhandle->clearCommError(errors, status)) return -1;  // the device has gone
    return static_cast<std::int32_t>(status.cbInQue);
}

bool Trs232c::SetRTS(bool on) {
    if (!isopen) return false;
    return commhandle->escapeCommFunction(on ? kSetRts : kClrRts);
}

bool Trs232c::SetDTR(bool on) {
    if (!isopen) return false;
    return commhandle->escapeCommFunction(on ? kSetDtr : kClrDtr);
}
