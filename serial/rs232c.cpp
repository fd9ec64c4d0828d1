#include "serial/rs232c.h"

#include <array>
#include <utility>

#include "serial/comthd.h"
#include "serial/host.h"
#include "serial/port_events.h"

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
    {"無し", kNoParity},          {"なし", kNoParity},          {"奇数", kOddParity},      {"きすう", kOddParity},
    {"ODD", kOddParity},          {"odd", kOddParity},          {"ＯＤＤ", kOddParity},    {"ｏｄｄ", kOddParity},
    {"偶数", kEvenParity},        {"ぐうすう", kEvenParity},    {"EVEN", kEvenParity},     {"even", kEvenParity},
    {"ＥＶＥＮ", kEvenParity},    {"ｅｖｅｎ", kEvenParity},    {"マーク", kMarkParity},   {"まーく", kMarkParity},
    {"MARK", kMarkParity},        {"mark", kMarkParity},        {"ＭＡＲＫ", kMarkParity}, {"ｍａｒｋ", kMarkParity},
    {"スペース", kSpaceParity},   {"すぺーす", kSpaceParity},   {"SPACE", kSpaceParity},   {"space", kSpaceParity},
    {"ＳＰＡＣＥ", kSpaceParity}, {"ｓｐａｃｅ", kSpaceParity},
}};

}  // namespace

Trs232c::Trs232c() : Trs232c(defaultLayer()) {}

Trs232c::Trs232c(CommLayer& layer) : layer_(layer) {
    eventwindow_ = host::current().makeEventWindow([this](const TPortMessage& m) { return EventWindowProc(m); });
    // OnCreate would be called here when assigned; but it is a member that has only just been
    // made, so it never is, as for a component whose handlers come after its construction.
}

Trs232c::~Trs232c() {
    destroying_ = true;
    // OnClose runs here too; what it throws cannot leave a destructor.
    try {
        Close();
    } catch (...) {
        host::current().reportException(std::current_exception());
    }
    eventwindow_.reset();
}

void Trs232c::showDebug(const char* text) const {
    if (debug_) host::current().showMessage(text);
}

bool Trs232c::Open() {
    if (isopen_ || destroying_) return false;
    // Called from OnClose: that close is finished first, so the port it held is free again.
    if (closing_) releaseHandle(*closing_);

    commhandle_ = layer_.createFile(portname_);
    if (!commhandle_) {
        lastError_ = layer_.lastError().error;
        showDebug("回線オープンエラー");
        return false;
    }
    // A failed step closes what it opened: the handle would otherwise stay open with nothing
    // left to close it, and keep the port locked.
    auto fail = [this](const char* text) {
        lastError_ = layer_.lastError().error;
        showDebug(text);
        commhandle_->purgeComm(kPurgeAbort);
        commhandle_->closeHandle();
        commhandle_.reset();
        return false;
    };
    if (!commhandle_->setupComm(static_cast<DWORD>(rxbuffsize_), static_cast<DWORD>(txbuffsize_))) {
        return fail("バッファサイズ設定エラー");
    }
    if (!applyState()) return fail("通信条件設定エラー");
    if (!applyTimeouts()) return fail("タイムアウト時間設定エラー");
    lastError_ = 0;

    watchEvents();
    commhandle_->setCommMask(eventmask_);
    commhandle_->purgeComm(kPurgeAll);
    usethread_ = eventmask_ != 0;
    if (usethread_) startEventThread();

    isopen_ = true;
    if (OnOpen) OnOpen(this);
    return true;
}

bool Trs232c::applyState() {
    commhandle_->getCommState(commstate_);
    commstate_.BaudRate = static_cast<DWORD>(bps_);
    if (stopbit_ == "1") {
        commstate_.StopBits = kOneStopBit;
    } else if (stopbit_ == "1.5") {
        commstate_.StopBits = kOne5StopBits;
    } else if (stopbit_ == "2") {
        commstate_.StopBits = kTwoStopBits;
    }
    for (const ParityName& p : kParityNames) {
        if (paritymode_ == p.text) {
            commstate_.Parity = p.parity;
            break;
        }
    }
    commstate_.ByteSize = static_cast<BYTE>(charbit_ & 0xFF);
    commstate_.Flags = static_cast<DWORD>(flowflag_);
    if (XonLim_ != 0) commstate_.XonLim = static_cast<WORD>(XonLim_ & 0xFFFF);
    if (XoffLim_ != 0) commstate_.XoffLim = static_cast<WORD>(XoffLim_ & 0xFFFF);
    if (XonChar_ != 0) commstate_.XonChar = XonChar_;
    if (XoffChar_ != 0) commstate_.XoffChar = XoffChar_;
    if (ErrorChar_ != 0) commstate_.ErrorChar = ErrorChar_;
    if (EofChar_ != 0) commstate_.EofChar = EofChar_;
    if (EvtChar_ != 0) commstate_.EvtChar = EvtChar_;
    return commhandle_->setCommState(commstate_);
}

bool Trs232c::applyTimeouts() {
    commhandle_->getCommTimeouts(commtimeouts_);
    commtimeouts_.ReadIntervalTimeout = static_cast<DWORD>(readinterval_);
    commtimeouts_.ReadTotalTimeoutMultiplier = 0;
    commtimeouts_.ReadTotalTimeoutConstant = static_cast<DWORD>(rxtimeout_);
    commtimeouts_.WriteTotalTimeoutMultiplier = 0;
    commtimeouts_.WriteTotalTimeoutConstant = static_cast<DWORD>(txtimeout_);
    return commhandle_->setCommTimeouts(commtimeouts_);
}

// OnPACKET and OnRXCHAR share the receive bit; OnCreate, OnOpen and OnClose add nothing.
void Trs232c::watchEvents() {
    eventmask_ = 0;
    for (const portevents::PortEvent& e : portevents::kPortEvents) {
        if (this->*e.handler) eventmask_ |= e.bit;
    }
}

void Trs232c::startEventThread() {
    eventthread_ = std::make_unique<tcommthread>(true);
    rxqueued_.store(0, std::memory_order_relaxed);
    rxcharState_.store(kRxIdle, std::memory_order_relaxed);
    eventthread_->commport = this;
    eventthread_->commhandle = commhandle_.get();
    eventthread_->Resume();
}

bool Trs232c::Close() {
    if (!isopen_) return false;
    commhandle_->purgeComm(kPurgeAbort);
    if (usethread_ && eventthread_) {
        eventthread_->Terminate();
        commhandle_->setCommMask(0);
        eventthread_->WaitFor();
        eventthread_.reset();
    }
    // Messages still queued for this opening are dropped on delivery.
    generation_.fetch_add(1, std::memory_order_release);
    isopen_ = false;

    // The handle leaves the component before OnClose: an Open from the handler puts its own
    // handle in its place, and this close still ends with the one it was closing.
    PendingClose pending{std::move(commhandle_)};
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
    if (!isopen_ || count < 0) return false;
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(count);
    const bool ok = commhandle_->readFile(buffer, want, done, static_cast<DWORD>(rxtimeout_));
    rxTaken_ += done;
    // With these timeouts the driver completes every read at once with what is there, and a
    // read completed at once counts whatever it moved.
    const bool atOnce = commtimeouts_.ReadIntervalTimeout == kMaxDword &&
                        commtimeouts_.ReadTotalTimeoutMultiplier == 0 && commtimeouts_.ReadTotalTimeoutConstant == 0;
    return ok && (atOnce || done == want);
}

bool Trs232c::Write(const void* data, std::int32_t count) {
    if (!isopen_ || count < 0) return false;
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(count);
    return commhandle_->writeFile(data, want, done, static_cast<DWORD>(txtimeout_)) && done == want;
}

bool Trs232c::ReadByte(std::uint8_t& b) {
    if (!Read(&onebyte_, 1)) return false;
    b = onebyte_;
    return true;
}

bool Trs232c::WriteByte(std::uint8_t b) {
    onebyte_ = b;
    return Write(&onebyte_, 1);
}

std::int32_t Trs232c::InQueueCount() {
    if (!isopen_) return -1;
    DWORD errors = 0;
    COMSTAT status;
    if (!commhandle_->clearCommError(errors, status)) return -1;  // the device has gone
    return static_cast<std::int32_t>(status.cbInQue);
}

bool Trs232c::SetRTS(bool on) {
    if (!isopen_) return false;
    return commhandle_->escapeCommFunction(on ? kSetRts : kClrRts);
}

bool Trs232c::SetDTR(bool on) {
    if (!isopen_) return false;
    return commhandle_->escapeCommFunction(on ? kSetDtr : kClrDtr);
}
