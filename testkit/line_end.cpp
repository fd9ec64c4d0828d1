#include "testkit/line_end.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vttest {

using Clock = std::chrono::steady_clock;

bool LineEnd::open(const std::string& path) {
    adopt(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    return ok();
}

void LineEnd::adopt(int fd) {
    close();
    fd_ = fd;
    if (fd_ < 0) return;
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_, TCSANOW, &tio);
}

void LineEnd::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void LineEnd::send(const std::string& bytes) const {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return;
        }
    }
}

std::string LineEnd::receive(std::size_t count, std::chrono::milliseconds limit) const {
    std::string got;
    const auto end = Clock::now() + limit;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[4096];
        const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0)
            got.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

bool LineEnd::hungUp(std::chrono::milliseconds limit) const {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, 50);
        if (p.revents & POLLHUP) return true;
        if (p.revents & POLLIN) {
            char buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n == 0 || (n < 0 && errno == EIO)) return true;
        }
    }
    return false;
}

}  // namespace vttest
