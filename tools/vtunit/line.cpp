#include "tools/vtunit/line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <poll.h>
#include <unistd.h>

namespace vtunit {
namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string bytes;
    std::size_t sent = 0;
};

std::string floodBytes(long long count) {
    std::string s(static_cast<std::size_t>(count), '\0');
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(i & 0xFF);
    return s;
}

void saveMemory(const Options& options, const Unit& unit) {
    if (options.memoryFile.empty()) return;
    const auto& m = unit.memory();
    std::string error;
    if (!replaceFileContents(options.memoryFile, std::string(m.begin(), m.end()), error))
        std::fprintf(stderr, "vtunit: %s\n", error.c_str());
}

}  // namespace

LineEnd runLine(Pty& pty, const Options& options, const sigset_t& waitMask) {
    Unit unit(options.faults);
    std::deque<Chunk> out;
    const auto byteTime = options.baud > 0
        ? std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL / options.baud))
        : Clock::duration::zero();
    const auto delay = std::chrono::milliseconds(options.replyDelayMs);
    Clock::time_point nextIn{}, nextOut{};
    bool floodPending = options.flood > 0;

    for (;;) {
        const auto now = Clock::now();
        const bool canRead = now >= nextIn;
        bool canWrite = false;
        Clock::time_point wake = Clock::time_point::max();
        if (!canRead) wake = nextIn;
        if (!out.empty()) {
            const auto ready = std::max(out.front().due, nextOut);
            if (ready <= now) canWrite = true;
            else wake = std::min(wake, ready);
        }
        pollfd pfd{pty.master, static_cast<short>((canRead ? POLLIN : 0) | (canWrite ? POLLOUT : 0)), 0};
        timespec ts{};
        timespec* timeout = nullptr;
        if (wake != Clock::time_point::max()) {
            const auto ns = std::max<long long>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count());
            ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            timeout = &ts;
        }
        const int rc = ::ppoll(&pfd, 1, timeout, &waitMask);
        if (rc < 0) {
            if (errno == EINTR) return LineEnd::Signal;
            std::fprintf(stderr, "vtunit: poll: %s\n", std::strerror(errno));
            return LineEnd::Error;
        }
        if (pfd.revents & (POLLERR | POLLNVAL)) {
            std::fprintf(stderr, "vtunit: the terminal failed\n");
            return LineEnd::Error;
        }

        if (pfd.revents & POLLIN) {
            unsigned char buf[4096];
            const std::size_t want = byteTime.count() > 0 ? 1 : sizeof buf;
            const ssize_t n = ::read(pty.master, buf, want);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                std::fprintf(stderr, "vtunit: read: %s\n", std::strerror(errno));
                return LineEnd::Error;
            }
            const auto at = Clock::now();
            if (byteTime.count() > 0) nextIn = at + byteTime;
            for (ssize_t i = 0; i < n; ++i) {
                std::printf("rx %02X\n", buf[i]);
                const Reaction r = unit.receive(buf[i]);
                if (r.hangUp) {
                    std::printf("hangup\n");
                    std::fflush(stdout);
                    return LineEnd::HangUp;
                }
                if (!r.reply.empty()) out.push_back({at + delay, r.reply});
                if (r.memoryChanged) saveMemory(options, unit);
                if (floodPending) {
                    floodPending = false;
                    out.push_back({at + delay, floodBytes(options.flood)});
                }
            }
            std::fflush(stdout);
        }

        if ((pfd.revents & POLLOUT) && !out.empty()) {
            Chunk& c = out.front();
            const std::size_t left = c.bytes.size() - c.sent;
            const std::size_t want = byteTime.count() > 0 ? 1 : left;
            const ssize_t n = ::write(pty.master, c.bytes.data() + c.sent, want);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                std::fprintf(stderr, "vtunit: write: %s\n", std::strerror(errno));
                return LineEnd::Error;
            }
            if (n > 0) {
                c.sent += static_cast<std::size_t>(n);
                if (byteTime.count() > 0) nextOut = Clock::now() + byteTime;
                if (c.sent == c.bytes.size()) out.pop_front();
            }
        }
    }
}

}  // namespace vtunit
