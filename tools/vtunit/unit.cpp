#include "tools/vtunit/unit.h"

namespace vtunit {

Reaction Unit::receive(std::uint8_t byte) {
    ++received_;
    if (faults_.hangupAfter >= 0 && received_ >= faults_.hangupAfter) {
        Reaction r;
        r.hangUp = true;
        return r;
    }
    Reaction r;
    switch (mode_) {
        case Mode::Image:
            memory_[imageIndex_++] = byte;
            r.reply.push_back(static_cast<char>(protocol::kAck));
            if (imageIndex_ == memory_.size()) {
                mode_ = Mode::Command;
                r.memoryChanged = true;
            }
            break;
        case Mode::AwaitWriteCR:
            if (byte == protocol::kCR) {
                mode_ = Mode::Image;
                imageIndex_ = 0;
                r.reply.push_back(static_cast<char>(protocol::kAck));
                break;
            }
            // Anything but CR abandons the write and counts as a command of its own.
            mode_ = Mode::Command;
            r = command(byte);
            break;
        case Mode::Command: r = command(byte); break;
    }
    const bool mute = faults_.silent || (faults_.stopAfter >= 0 && received_ > faults_.stopAfter);
    if (mute) r.reply.clear();
    return r;
}

Reaction Unit::command(std::uint8_t byte) {
    Reaction r;
    if (byte == protocol::kDump) {
        r.reply = protocol::dumpAnswer(memory_, channel_);
        return r;
    }
    r.reply.push_back(static_cast<char>(protocol::kAck));
    if (byte == protocol::kWrite) {
        mode_ = Mode::AwaitWriteCR;
    } else if (const int channel = protocol::commandChannel(byte); channel >= 0) {
        channel_ = channel;
    } else if (byte == protocol::kInitialize) {
        memory_.fill(0);
        channel_ = 0;
        r.memoryChanged = true;
    }
    return r;
}

}  // namespace vtunit
