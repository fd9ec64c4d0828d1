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

// Bytes due to go out: an answer, or a flood of floodSize bytes 00 01 ... FF 00 ... made as
// they go (so a large flood takes no memory).
struct Chunk {
    Clock::time_point due;
    std::string bytes;
    std::size_t floodSize = 0;
    std::size_t sent = 0;
    std::size_t size() const { return floodSize ? floodSize : bytes.size(); }
};

// Up to want bytes of c from where it stands; points data at them.
std::size_t nextBytes(const Chunk& c, std::size_t want, unsigned char (&scratch)[4096], const void*& data) {
    want = std::min(want, c.size() - c.sent);
    if (!c.floodSize) {
        data = c.bytes.data() + c.sent;
        return want;
    }
    want = std::min(want, sizeof scratch);
    for (std::size_t i = 0; i < want; ++i) scratch[i] = static_cast<unsigned char>((c.sent + i) & 0xFF);
    data = scratch;
    return want;
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
                    out.push_back({at + delay, {}, static_cast<std::size_t>(options.flood)});
                }
            }
            std::fflush(stdout);
        }

        if ((pfd.revents & POLLOUT) && !out.empty()) {
            Chunk& c = out.front();
            unsigned char scratch[4096];
            const void* data = nullptr;
            const std::size_t want = nextBytes(c, byteTime.count() > 0 ? 1 : c.size(), scratch, data);
            const ssize_t n = ::write(pty.master, data, want);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                std::fprintf(stderr, "vtunit: write: %s\n", std::strerror(errno));
                return LineEnd::Error;
            }
            if (n > 0) {
                c.sent += static_cast<std::size_t>(n);
                if (byteTime.count() > 0) nextOut = Clock::now() + byteTime;
                if (c.sent == c.size()) out.pop_front();
            }
        }
    }
}

}  // namespace vtunit
