#pragma once
// The far end of a pseudo-terminal, held by the test: the component opens the slave by its path.
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "testkit/line_end.h"

class PtyPeer {
public:
    PtyPeer() {
        int master = -1, slave = -1;
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
        path_ = ::ttyname(slave);
        ::close(slave);
        master_.adopt(master);
    }

    const std::string& path() const { return path_; }

    // The slave's termios (a pty's master reports its slave's settings).
    termios attr() const {
        termios t{};
        ::tcgetattr(master_.fd(), &t);
        return t;
    }

    void send(const std::vector<std::uint8_t>& bytes) const { master_.send(std::string(bytes.begin(), bytes.end())); }
    void send(std::uint8_t b) const { send(std::vector<std::uint8_t>{b}); }
    // Up to n bytes, waiting at most timeoutMs for them all.
    std::vector<std::uint8_t> receive(std::size_t n, int timeoutMs = 2000) const {
        const std::string got = master_.receive(n, std::chrono::milliseconds(timeoutMs));
        return {got.begin(), got.end()};
    }

    void hangUp() { master_.close(); }

private:
    std::string path_;
    vttest::LineEnd master_;
};
