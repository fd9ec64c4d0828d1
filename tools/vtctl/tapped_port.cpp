#include "tools/vtctl/tapped_port.h"

namespace vtctl {

bool TappedPort::WriteByte(std::uint8_t b) {
    const bool ok = port_.WriteByte(b);
    if (ok) sent_.fetch_add(1, std::memory_order_relaxed);
    return ok;
}

bool TappedPort::ReadByte(std::uint8_t& b) {
    if (!port_.ReadByte(b)) return false;
    received_.push_back(static_cast<char>(b));
    if (onReceived_) onReceived_();
    return true;
}

bool TappedPort::Read(void* buffer, std::int32_t count) {
    // Only the packet notice reads blocks, and it throws them away.
    return port_.Read(buffer, count);
}

std::int32_t TappedPort::InQueueCount() {
    const std::int32_t n = port_.InQueueCount();
    if (n < 0 && port_.isOpen() && !gone_) {
        gone_ = true;
        if (onGone_) onGone_();
    }
    return n;
}

}  // namespace vtctl
