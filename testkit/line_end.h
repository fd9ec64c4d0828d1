#pragma once
// The test's end of a serial line: a raw descriptor with sends and receives that end at a limit.
#include <chrono>
#include <string>

namespace vttest {

class LineEnd {
public:
    LineEnd() = default;
    explicit LineEnd(const std::string& path) { open(path); }
    ~LineEnd() { close(); }
    LineEnd(const LineEnd&) = delete;
    LineEnd& operator=(const LineEnd&) = delete;

    // Opens path raw and non-blocking; returns ok().
    bool open(const std::string& path);
    // Takes fd over and makes it raw.
    void adopt(int fd);
    void close();
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    void send(const std::string& bytes) const;
    // Reads until count bytes have come or the limit passes.
    std::string receive(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(3)) const;
    // True when the other side hung up (read gives EOF/EIO or poll reports POLLHUP) within the limit.
    bool hungUp(std::chrono::milliseconds limit = std::chrono::seconds(3)) const;

private:
    int fd_ = -1;
};

}  // namespace vttest
