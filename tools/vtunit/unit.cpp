#include "tools/vtunit/unit.h"

namespace vtunit {

std::string Unit::dumpAnswer() const {
    std::string out;
    out.reserve(kMemorySize + 2);
    out.push_back(static_cast<char>(kAck));
    for (std::uint8_t b : memory_) out.push_back(static_cast<char>(b));
    out.push_back(static_cast<char>(channel_));
    return out;
}

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
        r.reply.push_back(static_cast<char>(kAck));
        if (imageIndex_ == kMemorySize) {
            mode_ = Mode::Command;
            r.memoryChanged = true;
        }
        break;
    case Mode::AwaitWriteCR:
        if (byte == kCR) {
            mode_ = Mode::Image;
            imageIndex_ = 0;
            r.reply.push_back(static_cast<char>(kAck));
            break;
        }
        // Anything but CR abandons the write and counts as a command of its own.
        mode_ = Mode::Command;
        r = command(byte);
        break;
    case Mode::Command:
        r = command(byte);
        break;
    }
    const bool mute = faults_.silent || (faults_.stopAfter >= 0 && received_ > faults_.stopAfter);
    if (mute) r.reply.clear();
    return r;
}

Reaction Unit::command(std::uint8_t byte) {
    Reaction r;
    if (byte == 'D') {
        r.reply = dumpAnswer();
        return r;
    }
    r.reply.push_back(static_cast<char>(kAck));
    if (byte == 'W') {
        mode_ = Mode::AwaitWriteCR;
    } else if (byte >= '0' && byte <= '7') {
        channel_ = byte - '0';
    } else if (byte == 'I') {
        memory_.fill(0);
        channel_ = 0;
        r.memoryChanged = true;
    }
    return r;
}

}  // namespace vtunit
