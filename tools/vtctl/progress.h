#pragma once
// The progress line of a write on a terminal: bytes sent of 130 per port, and the time so far.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vtctl {

struct PortProgress {
    std::string port;
    int sent = 0;
};

// "57/130 bytes, 0.420 s" for one port; "com1 57/130  com2 130/130  0.420 s" for several.
std::string progressText(const std::vector<PortProgress>& ports, std::int64_t elapsedMs);

// Rewrites one line of stderr; says nothing when off.
class Progress {
public:
    explicit Progress(bool on) : on_(on) {}
    void show(const std::vector<PortProgress>& ports);
    // The last state, and the end of the line.
    void finish(const std::vector<PortProgress>& ports);

private:
    bool on_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace vtctl
