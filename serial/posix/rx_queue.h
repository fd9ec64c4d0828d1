#pragma once
// The driver's input queue: a fixed-size ring of bytes (the setupComm size). Not thread-safe;
// its owner locks around it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace commapi {

class RxQueue {
public:
    explicit RxQueue(std::size_t capacity = 4096) : buf_(capacity) {}

    std::size_t size() const { return size_; }
    std::size_t room() const { return buf_.size() - size_; }
    bool full() const { return size_ == buf_.size(); }

    // Drops the contents and takes a new capacity.
    void reset(std::size_t capacity) {
        buf_.assign(capacity, 0);
        head_ = size_ = 0;
    }
    void clear() { head_ = size_ = 0; }

    // Appends up to room() bytes; returns how many were taken.
    std::size_t push(const std::uint8_t* data, std::size_t n) {
        if (n > room()) n = room();
        for (std::size_t i = 0; i < n; ++i) buf_[(head_ + size_ + i) % buf_.size()] = data[i];
        size_ += n;
        return n;
    }
    // Moves up to n bytes out, oldest first; returns how many.
    std::size_t take(std::uint8_t* out, std::size_t n) {
        if (n > size_) n = size_;
        for (std::size_t i = 0; i < n; ++i) out[i] = buf_[(head_ + i) % buf_.size()];
        head_ = buf_.empty() ? 0 : (head_ + n) % buf_.size();
        size_ -= n;
        return n;
    }

private:
    std::vector<std::uint8_t> buf_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

}  // namespace commapi
