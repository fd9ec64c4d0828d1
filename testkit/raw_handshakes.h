#pragma once
// The floor of a Write: its 130 one-byte handshakes done by hand on the raw descriptor, with
// nothing between the program and the terminal. For the benchmarks.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace vttest {

// writes times the handshakes on the terminal at path; µs per round trip, or -1.
inline double rawHandshakes(const std::string& path, int writes) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return -1;
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    const auto start = std::chrono::steady_clock::now();
    for (int w = 0; w < writes; ++w) {
        for (int i = 0; i < 130; ++i) {
            const unsigned char b = i == 0 ? 'W' : i == 1 ? '\r' : static_cast<unsigned char>(i);
            if (::write(fd, &b, 1) != 1) return ::close(fd), -1;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 2000) != 1) return ::close(fd), -1;
            unsigned char r;
            if (::read(fd, &r, 1) != 1) return ::close(fd), -1;
        }
    }
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    ::close(fd);
    return us / (writes * 130.0);
}

}  // namespace vttest
