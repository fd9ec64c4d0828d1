#include "tools/vtunit/line.h"

#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string_view>

#include "ui/files/atomic_file.h"

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
    const Memory& m = unit.memory();
    const std::string_view bytes(reinterpret_cast<const char*>(m.data()), m.size());
    if (const int err = files::replaceFile(options.memoryFile, bytes, files::Links::Replace); err != 0)
        std::fprintf(stderr, "vtunit: cannot write %s: %s\n", options.memoryFile.c_str(), std::strerror(err));
}

LineEnd failed(const char* what) {
    std::fprintf(stderr, "vtunit: %s: %s\n", what, std::strerror(errno));
    return LineEnd::Error;
}

// The ppoll timeout that ends at until (none for time_point::max()).
timespec* timeoutUntil(Clock::time_point until, Clock::time_point now, timespec& ts) {
    if (until == Clock::time_point::max()) return nullptr;
    const auto ns = std::max<long long>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(until - now).count());
    ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    return &ts;
}

// The unit on the line: what it has received and still has to send, and the pacing of both.
class Loop {
public:
    Loop(Pty& pty, const Options& options)
        : pty_(pty),
          options_(options),
          unit_(options.faults),
          byteTime_(options.baud > 0 ? std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::nanoseconds(10'000'000'000LL / options.baud))
                                     : Clock::duration::zero()),
          delay_(options.replyDelayMs),
          floodPending_(options.flood > 0) {}

    // One poll and what it allows; the end of the line once there is one.
    std::optional<LineEnd> step(const sigset_t& waitMask);

private:
    bool paced() const { return byteTime_.count() > 0; }
    std::optional<LineEnd> takeIn();
    bool answer(std::uint8_t byte, Clock::time_point at);
    std::optional<LineEnd> giveOut();

    Pty& pty_;
    const Options& options_;
    Unit unit_;
    std::deque<Chunk> out_;
    const Clock::duration byteTime_;  // zero: no pacing
    const std::chrono::milliseconds delay_;
    Clock::time_point nextIn_{}, nextOut_{};
    bool floodPending_;
};

std::optional<LineEnd> Loop::step(const sigset_t& waitMask) {
    const auto now = Clock::now();
    short events = 0;
    Clock::time_point wake = Clock::time_point::max();
    if (now >= nextIn_)
        events |= POLLIN;
    else
        wake = nextIn_;
    if (!out_.empty()) {
        const auto ready = std::max(out_.front().due, nextOut_);
        if (ready <= now)
            events |= POLLOUT;
        else
            wake = std::min(wake, ready);
    }
    pollfd pfd{pty_.master, events, 0};
    timespec ts{};
    if (::ppoll(&pfd, 1, timeoutUntil(wake, now, ts), &waitMask) < 0)
        return errno == EINTR ? LineEnd::Signal : failed("poll");
    if (pfd.revents & (POLLERR | POLLNVAL)) {
        std::fprintf(stderr, "vtunit: the terminal failed\n");
        return LineEnd::Error;
    }
    if (pfd.revents & POLLIN) {
        if (auto end = takeIn()) return end;
    }
    if ((pfd.revents & POLLOUT) && !out_.empty()) return giveOut();
    return std::nullopt;
}

std::optional<LineEnd> Loop::takeIn() {
    unsigned char buf[4096];
    const ssize_t n = ::read(pty_.master, buf, paced() ? 1 : sizeof buf);
    if (n < 0 && errno != EAGAIN && errno != EINTR) return failed("read");
    const auto at = Clock::now();
    if (paced()) nextIn_ = at + byteTime_;
    for (ssize_t i = 0; i < n; ++i) {
        std::printf("rx %02X\n", buf[i]);
        if (!answer(buf[i], at)) {
            std::printf("hangup\n");
            std::fflush(stdout);
            return LineEnd::HangUp;
        }
    }
    std::fflush(stdout);
    return std::nullopt;
}

// Feeds a received byte to the unit and queues what it sends back; false when it hangs up.
bool Loop::answer(std::uint8_t byte, Clock::time_point at) {
    const Reaction r = unit_.receive(byte);
    if (r.hangUp) return false;
    if (!r.reply.empty()) out_.push_back({at + delay_, r.reply});
    if (r.memoryChanged) saveMemory(options_, unit_);
    if (floodPending_) {
        floodPending_ = false;
        out_.push_back({at + delay_, {}, static_cast<std::size_t>(options_.flood)});
    }
    return true;
}

std::optional<LineEnd> Loop::giveOut() {
    Chunk& c = out_.front();
    unsigned char scratch[4096];
    const void* data = nullptr;
    const std::size_t want = nextBytes(c, paced() ? 1 : c.size(), scratch, data);
    const ssize_t n = ::write(pty_.master, data, want);
    if (n < 0 && errno != EAGAIN && errno != EINTR) return failed("write");
    if (n > 0) {
        c.sent += static_cast<std::size_t>(n);
        if (paced()) nextOut_ = Clock::now() + byteTime_;
        if (c.sent == c.size()) out_.pop_front();
    }
    return std::nullopt;
}

}  // namespace

LineEnd runLine(Pty& pty, const Options& options, const sigset_t& waitMask) {
    Loop loop(pty, options);
    for (;;) {
        if (const auto end = loop.step(waitMask)) return *end;
    }
}

}  // namespace vtunit
