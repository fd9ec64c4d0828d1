#include "tools/vtunit/line.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "files/errno_text.h"
#include "files/named_files.h"
#include "text/shown.h"

namespace vtunit {
namespace {

using Clock = std::chrono::steady_clock;

// How often the terminal is looked at for an exclusive mode that its client left behind.
constexpr std::chrono::milliseconds kAbandonedLook{100};

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

// Whether name is the file of standard output, which the log is written to.
bool isStandardOutput(const std::string& name) {
    if (name == "-") return true;
    struct stat named {};
    struct stat out {};
    return ::stat(name.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && named.st_dev == out.st_dev &&
           named.st_ino == out.st_ino;
}

// Never waits for the file's reader: the answers go on while a FIFO or terminal is not read. On
// standard output the image goes after the log lines before it, through the log.
void saveMemory(const Options& options, const Unit& unit, Output& output) {
    if (options.memoryFile.empty()) return;
    const Memory& m = unit.memory();
    const std::string_view bytes(reinterpret_cast<const char*>(m.data()), m.size());
    int err = 0;
    if (isStandardOutput(options.memoryFile))
        err = output.log.whole(bytes) ? 0 : EAGAIN;
    else
        err = files::writeNamedOutput(options.memoryFile, bytes, "/dev", files::Waiting::Never);
    if (err == 0) return;
    const std::string why = err == ENXIO    ? "nobody reads it; the memory is not written there this time"
                            : err == EAGAIN ? "its reader does not keep up; the memory is not written there this time"
                                            : files::englishFileProblem(options.memoryFile, err);
    output.messages.line("vtunit: cannot write " + text::shown(options.memoryFile) + ": " + why);
}

LineEnd failed(Output& output, const char* what) {
    const int err = errno;  // before the text's allocations
    output.messages.line(std::string("vtunit: ") + what + ": " + files::englishErrnoText(err));
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

// The unit on the line: what it has received and still has to send, and the timing of both.
// A paced line takes one byte time for the byte to reach the unit and one for each byte back;
// an adapter's latency timer then holds what reached it until its next tick.
class Loop {
public:
    Loop(Pty& pty, const Options& options, Output& output)
        : pty_(pty),
          options_(options),
          output_(output),
          unit_(options.faults),
          byteTime_(options.baud > 0 ? std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::nanoseconds(10'000'000'000LL / options.baud))
                                     : Clock::duration::zero()),
          delay_(options.replyDelayMs),
          latency_(options.latencyMs),
          start_(Clock::now()),
          floodPending_(options.flood > 0) {}

    // One poll and what it allows; the end of the line once there is one.
    std::optional<LineEnd> step(const sigset_t& waitMask);

private:
    struct Arriving {
        std::uint8_t byte;
        Clock::time_point at;  // when its last bit has come in
    };

    bool paced() const { return byteTime_.count() > 0; }
    Clock::time_point nextTick(Clock::time_point t) const;
    Clock::time_point completes(const Chunk& c) const { return std::max(c.due, lineFree_) + byteTime_; }
    Clock::time_point released(const Chunk& c) const;
    std::optional<LineEnd> takeIn();
    std::optional<LineEnd> take(const unsigned char* bytes, std::size_t n, Clock::time_point at);
    bool answer(std::uint8_t byte, Clock::time_point at);
    std::optional<LineEnd> giveOut();
    Clock::time_point lookForAbandonedClient(Clock::time_point now);
    void flushLog();

    Pty& pty_;
    const Options& options_;
    Output& output_;
    Unit unit_;
    std::deque<Chunk> out_;
    const Clock::duration byteTime_;  // zero: no pacing
    const std::chrono::milliseconds delay_;
    const std::chrono::milliseconds latency_;  // zero: no latency timer
    const Clock::time_point start_;            // the latency timer ticks from here
    std::optional<Arriving> arriving_;         // paced: the byte on its way in
    Clock::time_point lineFree_{};             // paced: when the line back is free again
    bool floodPending_;
    Clock::time_point nextLook_{};  // when lookForAbandonedClient is due
    std::string logLines_;          // of the bytes being taken, not yet handed to the log
};

// The adapter passes on what it holds at each tick of its timer: the first at or after t.
Clock::time_point Loop::nextTick(Clock::time_point t) const {
    if (latency_.count() == 0) return t;
    const auto ticks = (t - start_ + latency_ - Clock::duration(1)) / latency_;
    return start_ + ticks * latency_;
}

// When the next byte of c reaches the configurator.
Clock::time_point Loop::released(const Chunk& c) const { return nextTick(completes(c)); }

std::optional<LineEnd> Loop::step(const sigset_t& waitMask) {
    const auto now = Clock::now();
    if (arriving_ && arriving_->at <= now) {
        const Arriving in = *arriving_;
        arriving_.reset();
        if (auto end = take(&in.byte, 1, in.at)) return end;
    }
    short events = 0;
    Clock::time_point wake = lookForAbandonedClient(now);
    if (!arriving_)
        events |= POLLIN;
    else
        wake = std::min(wake, arriving_->at);
    if (!out_.empty()) {
        const auto ready = released(out_.front());
        if (ready <= now)
            events |= POLLOUT;
        else
            wake = std::min(wake, ready);
    }
    pollfd pfd{pty_.master, events, 0};
    timespec ts{};
    if (::ppoll(&pfd, 1, timeoutUntil(wake, now, ts), &waitMask) < 0)
        return errno == EINTR ? LineEnd::Signal : failed(output_, "poll");
    if (pfd.revents & (POLLERR | POLLNVAL)) {
        output_.messages.line("vtunit: the terminal failed");
        return LineEnd::Error;
    }
    if (pfd.revents & POLLIN) {
        if (auto end = takeIn()) return end;
    }
    if ((pfd.revents & POLLOUT) && !out_.empty()) return giveOut();
    return std::nullopt;
}

// Clears an exclusive mode whose client has gone; when to look again.
Clock::time_point Loop::lookForAbandonedClient(Clock::time_point now) {
    if (now < nextLook_) return nextLook_;
    if (clearAbandonedExclusive(pty_)) output_.log.line("released");
    return nextLook_ = now + kAbandonedLook;
}

// A paced line takes one byte and lets it arrive a byte time later; otherwise all that is there
// arrives now.
std::optional<LineEnd> Loop::takeIn() {
    unsigned char buf[4096];
    const ssize_t n = ::read(pty_.master, buf, paced() ? 1 : sizeof buf);
    if (n < 0 && errno != EAGAIN && errno != EINTR) return failed(output_, "read");
    if (n <= 0) return std::nullopt;
    const auto at = Clock::now();
    if (paced()) {
        arriving_ = Arriving{buf[0], at + byteTime_};
        return std::nullopt;
    }
    return take(buf, static_cast<std::size_t>(n), at);
}

// The unit receives bytes that have arrived at at; their log lines go out together.
std::optional<LineEnd> Loop::take(const unsigned char* bytes, std::size_t n, Clock::time_point at) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::optional<LineEnd> end;
    for (std::size_t i = 0; i < n && !end; ++i) {
        logLines_ += {'r', 'x', ' ', kHex[bytes[i] >> 4], kHex[bytes[i] & 0xF], '\n'};
        if (!answer(bytes[i], at)) {
            logLines_ += "hangup\n";
            end = LineEnd::HangUp;
        }
    }
    flushLog();
    return end;
}

void Loop::flushLog() {
    output_.log.lines(logLines_);
    logLines_.clear();
}

// Feeds a received byte to the unit and queues what it sends back; false when it hangs up.
bool Loop::answer(std::uint8_t byte, Clock::time_point at) {
    const Reaction r = unit_.receive(byte);
    if (r.hangUp) return false;
    if (!r.reply.empty()) out_.push_back({at + delay_, r.reply});
    if (r.memoryChanged) {
        flushLog();  // the image comes after the lines before it, when both go to standard output
        saveMemory(options_, unit_, output_);
    }
    if (floodPending_) {
        floodPending_ = false;
        out_.push_back({at + delay_, {}, static_cast<std::size_t>(options_.flood)});
    }
    return true;
}

// Sends what has reached the configurator: on a paced line one byte, the line then busy until
// that byte's last bit; after a stall (the other side not reading) the line starts afresh
// rather than catching up in a burst.
std::optional<LineEnd> Loop::giveOut() {
    Chunk& c = out_.front();
    unsigned char scratch[4096];
    const void* data = nullptr;
    const std::size_t want = nextBytes(c, paced() ? 1 : c.size(), scratch, data);
    const auto done = completes(c);
    const ssize_t n = ::write(pty_.master, data, want);
    if (n < 0 && errno != EAGAIN && errno != EINTR) return failed(output_, "write");
    if (n > 0) {
        c.sent += static_cast<std::size_t>(n);
        if (paced()) lineFree_ = std::max(done, Clock::now() - byteTime_ - latency_);
        if (c.sent == c.size()) out_.pop_front();
    }
    return std::nullopt;
}

}  // namespace

LineEnd runLine(Pty& pty, const Options& options, const sigset_t& waitMask, Output& output) {
    // Timed waits end on time, not up to the kernel's default 50 us later: at 115200 baud a byte
    // takes 87 us, and a paced handshake has two such waits.
    if (options.baud > 0 || options.latencyMs > 0) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    Loop loop(pty, options, output);
    for (;;) {
        if (const auto end = loop.step(waitMask)) return *end;
    }
}

}  // namespace vtunit
