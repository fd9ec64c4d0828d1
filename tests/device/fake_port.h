#pragma once
// A test peer behind the link's port layer: records what is written, holds an input queue, and
// delivers receive events through the event loop the way the serial component does.
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "device/device_link.h"
#include "device/link_port.h"

namespace vttest {

class FakePort final : public device::LinkPort {
public:
    device::DeviceLink* link = nullptr;  // gets the events
    std::string written;
    std::deque<std::uint8_t> inbox;
    bool open = false;
    bool openSucceeds = true;
    bool writesFail = false;
    bool gone = false;     // the device vanished: the queue cannot be counted
    int readFailsAt = -1;  // the ReadByte call (0-based) that fails
    int reads = 0;
    QString failureReason;  // what a failed Open says why
    std::int32_t bps = 0;
    QString portname;
    std::string lines;                          // "D+", "R+", "D-", "R-" as the modem lines were asked to change
    std::function<void(std::uint8_t)> onWrite;  // the peer's answer to a written byte

    // Queues bytes and posts one receive event for them.
    void deliver(const std::string& bytes) {
        for (char c : bytes) inbox.push_back(static_cast<std::uint8_t>(c));
        QTimer::singleShot(0, &context_, [this] {
            if (link) link->onRxChar();
        });
    }
    // Posts f to run from the event loop (inside a wait, when one is in progress).
    void later(std::function<void()> f, int ms = 0) { QTimer::singleShot(ms, &context_, std::move(f)); }
    // The usual unit: one 06 for every byte.
    void answerEveryByte() {
        onWrite = [this](std::uint8_t) { deliver("\x06"); };
    }

    void setbps(std::int32_t v) override { bps = v; }
    void setportname(const std::string& name) override { portname = QString::fromStdString(name); }
    bool Open() override {
        if (open || !openSucceeds) return false;
        open = true;
        if (link) link->onOpen();
        return true;
    }
    std::string openFailureReason() const override { return failureReason.toStdString(); }
    bool Close() override {
        if (!open) return false;
        open = false;
        if (link) link->onClose();
        return true;
    }
    bool isOpen() const override { return open; }
    bool WriteByte(std::uint8_t b) override {
        if (!open || writesFail) return false;
        written.push_back(static_cast<char>(b));
        if (onWrite) onWrite(b);
        return true;
    }
    bool ReadByte(std::uint8_t& b) override {
        if (!open || inbox.empty()) return false;
        if (reads++ == readFailsAt) return false;
        b = inbox.front();
        inbox.pop_front();
        return true;
    }
    bool Read(void* buffer, std::int32_t count) override {
        if (!open || count < 0 || static_cast<std::size_t>(count) > inbox.size()) return false;
        auto* out = static_cast<std::uint8_t*>(buffer);
        for (std::int32_t i = 0; i < count; ++i) {
            out[i] = inbox.front();
            inbox.pop_front();
        }
        return true;
    }
    std::int32_t InQueueCount() override { return open && !gone ? static_cast<std::int32_t>(inbox.size()) : -1; }
    bool SetDTR(bool on) override {
        if (!open) return false;
        lines += on ? "D+" : "D-";
        return true;
    }
    bool SetRTS(bool on) override {
        if (!open) return false;
        lines += on ? "R+" : "R-";
        return true;
    }

private:
    QObject context_;
};

}  // namespace vttest
