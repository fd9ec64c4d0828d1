#include "device/device_link.h"

#include <algorithm>
#include <array>
#include <string>

#include "device/buffer_view.h"
#include "device/capture.h"
#include "planning/number_text.h"
#include "protocol/line_speeds.h"
#include "protocol/unit_protocol.h"
#include "text/cp932.h"

namespace device {
namespace {

constexpr int kWake = 1;  // exit code of a wait's loop woken by the link itself
constexpr unsigned kAsteriskBeep = 64;
constexpr int kPacketScratch = 1025;

}  // namespace

struct DeviceLink::Wait {
    std::unique_ptr<host::EventLoop> loop;
    std::unique_ptr<host::Timer> limit;  // after the loop: stopped before the loop goes
    bool timedOut = false;
};

// The bytes of one command: whether each went out, and how the last reply wait ended.
class DeviceLink::Exchange {
public:
    explicit Exchange(DeviceLink& link) : link_(link) {}
    void send(std::uint8_t b) { everyByteSent_ = link_.send(b) && everyByteSent_; }
    // Sends b and waits for its reply; false when none came, and the command stops there.
    bool sendAndAwait(std::uint8_t b) {
        const bool sent = link_.send(b);
        everyByteSent_ = sent && everyByteSent_;
        wait_ = link_.replied(sent);
        return wait_ == Outcome::Reply;
    }
    Outcome outcome() const {
        // A reply to a byte that could not be sent does not make the unit hold it.
        if (wait_ == Outcome::Reply && !everyByteSent_) return Outcome::NotAllSent;
        return wait_;
    }

private:
    DeviceLink& link_;
    bool everyByteSent_ = true;
    Outcome wait_ = Outcome::Reply;
};

// Counts a command in progress; when the last one unwinds after a close was put off, the window
// may close now.
class DeviceLink::CommandScope {
public:
    explicit CommandScope(DeviceLink& link) : link_(link) { ++link_.commands_; }
    ~CommandScope() {
        link_.stopIdleLimits();
        if (--link_.commands_ == 0 && link_.closeDeferred_) {
            link_.closeDeferred_ = false;
            link_.view_.resumeClose();
        }
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    DeviceLink& link_;
};

DeviceLink::DeviceLink(LinkPort& port, DeviceView& view)
    : port_(port),
      view_(view),
      host_(host::current()),
      logTimer_(host_.makeTimer([this] { flushLog(); })),
      drainTimer_(host_.makeTimer([this] { drain(); })) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::connect(const std::string& baudItemText, const std::string& portItemText, bool closeFirst) {
    if (closeFirst) port_.Close();
    const auto baud = planning::tryParseWhole(baudItemText);
    port_.setbps(baud ? *baud : protocol::kDefaultBaud);
    port_.setportname(portItemText);
    view_.enableOpen(false);
    view_.enableClose(true);
    if (!port_.Open()) {
        view_.beep(kAsteriskBeep);
        view_.showMessage("Error");
        if (const std::string reason = port_.openFailureReason(); !reason.empty()) view_.appendStatusLine(reason);
        view_.enableOpen(true);
        view_.enableClose(false);
    }
}

void DeviceLink::disconnect() {
    port_.Close();
    view_.enableOpen(true);
    view_.enableClose(false);
}

void DeviceLink::onOpen() {
    lineGone_ = false;
    port_.SetDTR(true);
    port_.SetRTS(true);
}

void DeviceLink::onClose() {
    port_.SetDTR(false);
    port_.SetRTS(false);
    ++lineEpoch_;
    wakeWaits();
}

void DeviceLink::onRxChar() {
    fields.RxEventCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(fields.RxEventCount) + 1u);
    view_.showReceiveCount(std::to_string(fields.RxEventCount));
    drain();
}

void DeviceLink::drain() {
    std::string hex;
    bool readFailed = false;
    bool gone = false;
    int taken = 0;
    for (;;) {
        const std::int32_t waiting = port_.InQueueCount();
        // An open port that cannot count its queue has lost its device.
        if (waiting < 0) gone = port_.isOpen();
        if (waiting < 1) break;
        if (taken == kDrainSlice) {
            drainTimer_->start(std::chrono::milliseconds(0));
            break;
        }
        std::uint8_t b = 0;
        if (!port_.ReadByte(b)) {
            // Something did arrive, so the handshake is released; no stale byte is stored.
            fields.RxSeen = 1;
            readFailed = true;
            break;
        }
        captureByte(fields, b);
        appendHexByte(hex, b);
        ++taken;
    }
    if (!hex.empty()) logBytes(hex);
    if (fields.RxSeen != 0) wakeWaits();
    if (gone) lineLost();
    if (readFailed) view_.showMessage("データ読込みエラー");
}

void DeviceLink::onPacket() {
    view_.showMessage("パケットサイズです");
    const std::int32_t waiting = std::min(port_.InQueueCount(), kPacketScratch);
    if (waiting > 0) {
        std::array<std::uint8_t, kPacketScratch> scratch;
        port_.Read(scratch.data(), waiting);
    }
}

bool DeviceLink::refusedDuringWrite() {
    if (!writing_) return false;
    view_.appendStatusLine(kWriteBusyLine);
    return true;
}

Outcome DeviceLink::simpleCommand(char letter) {
    if (refusedDuringWrite()) return Outcome::Busy;
    CommandScope scope(*this);
    Exchange bytes(*this);
    fields.RxSeen = 0;
    if (!bytes.sendAndAwait(static_cast<std::uint8_t>(letter))) return bytes.outcome();
    bytes.send(protocol::kCR);
    return bytes.outcome();
}

Outcome DeviceLink::dump() {
    if (refusedDuringWrite()) return Outcome::Busy;
    CommandScope scope(*this);
    Exchange bytes(*this);
    fields.RxCount = 0;
    fields.RxSeen = 0;
    if (!bytes.sendAndAwait(protocol::kDump)) return bytes.outcome();
    fields.RxSeen = 0;
    bytes.send(protocol::kCR);
    return bytes.outcome();
}

Outcome DeviceLink::write(const planning::ChannelTable& table) {
    if (refusedDuringWrite()) return Outcome::Busy;
    writing_ = true;
    const struct Writing {
        bool& on;
        ~Writing() { on = false; }
    } writing{writing_};
    CommandScope scope(*this);
    Exchange bytes(*this);
    fields.RxCount = 0;
    fields.RxSeen = 0;
    pendingLog_.clear();
    logTimer_->stop();
    view_.clearStatus();
    fields.WriteImage = protocol::writeImage(table);
    // The image as it started: what runs inside the waits below cannot change what is sent.
    const auto image = fields.WriteImage;
    if (!bytes.sendAndAwait(protocol::kWrite)) return bytes.outcome();
    fields.RxSeen = 0;
    if (!bytes.sendAndAwait(protocol::kCR)) return bytes.outcome();
    for (std::uint8_t b : image) {
        fields.RxSeen = 0;
        if (!bytes.sendAndAwait(b)) return bytes.outcome();
    }
    return bytes.outcome();
}

void DeviceLink::viewBuffer() { view_.showBuffer(bufferViewText(fields.RxBuffer)); }

void DeviceLink::sendKey(const std::string& typed) {
    if (refusedDuringWrite()) return;
    for (char c : text::utf8ToCp932(typed)) send(static_cast<std::uint8_t>(c));
}

void DeviceLink::sendByte(std::uint8_t b) {
    if (!refusedDuringWrite()) send(b);
}

void DeviceLink::sendReturn() { sendByte(protocol::kCR); }

bool DeviceLink::deferClose() {
    if (!waiting()) return false;
    closeDeferred_ = true;
    wakeWaits();
    return true;
}

void DeviceLink::lineLost() {
    lineGone_ = true;
    wakeWaits();
}

bool DeviceLink::send(std::uint8_t b) { return port_.WriteByte(b); }

Outcome DeviceLink::replied(bool sent) {
    // A byte that could not be sent on an open line still gets its wait, bounded as any: the
    // unit may answer all the same. Only a closed port or a vanished device ends it at once.
    if (!sent && port_.InQueueCount() < 0 && port_.isOpen()) lineLost();
    const Outcome outcome = awaitReply();
    if (outcome == Outcome::Reply) return outcome;
    flushLog();
    view_.appendStatusLine(kNoReplyLine);
    return outcome;
}

Outcome DeviceLink::awaitReply() {
    const std::uint64_t epoch = lineEpoch_;
    if (waits_.size() == depth_) {
        auto made = std::make_unique<Wait>();
        Wait* w = made.get();
        w->loop = host_.makeEventLoop();
        w->limit = host_.makeTimer([w] {
            w->timedOut = true;
            w->loop->exit(kWake);
        });
        waits_.push_back(std::move(made));
    }
    Wait& wait = *waits_[depth_++];
    wait.timedOut = false;
    // The limit of the previous wait at this depth may still run: starting it again replaces it.
    wait.limit->start(replyLimit_);
    Outcome outcome;
    for (;;) {
        // Closing and a lost line win over a reply: the command must send nothing more.
        if (closeDeferred_) {
            outcome = Outcome::Closing;
            break;
        }
        if (lineGone_ || epoch != lineEpoch_ || !port_.isOpen()) {
            outcome = Outcome::NoLine;
            break;
        }
        if (fields.RxSeen != 0) {
            outcome = Outcome::Reply;
            break;
        }
        if (wait.timedOut) {
            outcome = Outcome::TimedOut;
            break;
        }
        // Blocks until an event comes; the link exits the loop when something above changes.
        // Any other exit code means the application is ending.
        if (wait.loop->exec() != kWake) {
            outcome = Outcome::Closing;
            break;
        }
    }
    // The limit is left running: stopping it here would come before the next byte goes out,
    // and the next wait restarts it anyway; stopIdleLimits stops it when the command ends.
    --depth_;
    return outcome;
}

void DeviceLink::logBytes(const std::string& hex) {
    pendingLog_ += hex;
    // Timers wait while posted events keep coming (a flood): a full slice goes out without one.
    if (pendingLog_.size() >= kLogFlushChars) {
        flushLog();
        return;
    }
    if (logTimer_->isActive()) return;
    using std::chrono::milliseconds;
    const milliseconds coalesce(kLogCoalesceMs);
    const milliseconds since =
        lastAppend_ ? std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - *lastAppend_)
                    : coalesce;
    if (since >= coalesce)
        flushLog();
    else
        logTimer_->start(coalesce - since);
}

void DeviceLink::flushLog() {
    logTimer_->stop();
    if (pendingLog_.empty()) return;
    view_.appendStatusText(pendingLog_);
    pendingLog_.clear();
    lastAppend_ = std::chrono::steady_clock::now();
}

void DeviceLink::wakeWaits() {
    for (std::size_t i = 0; i < depth_; ++i) waits_[i]->loop->exit(kWake);
}

void DeviceLink::stopIdleLimits() {
    for (std::size_t i = depth_; i < waits_.size(); ++i) waits_[i]->limit->stop();
}

}  // namespace device
