#include "tools/vtunit/log_stream.h"

#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "files/errno_text.h"

namespace vtunit {
namespace {

// The most one write() is given, cut at a line's end: a pipe takes that much whole or not at all,
// so a reader that stops never leaves a line half written, and the count stays exact.
constexpr std::size_t kChunk = PIPE_BUF;

std::uint64_t lineCount(std::string_view text) {
    const auto ends = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
    return ends + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

}  // namespace

// What the stream's owner and its writer thread share; everything changing is guarded by m.
struct LogStream::Shared {
    enum class Kind { Lines, Note, Bytes };
    struct Entry {
        std::string bytes;
        Kind kind;
        std::uint64_t counted = 0;  // a note: the dropped lines it says
        // The log lines lost with what of it is not written from offset on.
        std::uint64_t lostFrom(std::size_t offset) const {
            const std::string_view rest = std::string_view(bytes).substr(offset);
            if (kind == Kind::Lines) return static_cast<std::uint64_t>(std::count(rest.begin(), rest.end(), '\n'));
            return kind == Kind::Note && !rest.empty() ? counted : 0;
        }
    };

    Shared(int f, std::string n, std::size_t c) : fd(f), name(std::move(n)), capacity(c) {}

    const int fd;
    const std::string name;
    const std::size_t capacity;
    std::mutex m;
    std::condition_variable changed;  // something queued, written or ending
    std::deque<Entry> queue;          // the front's first `written` bytes are out already
    std::size_t written = 0;
    std::size_t queuedBytes = 0;  // of every entry in queue, the written part of the front too
    std::uint64_t dropped = 0;    // lines dropped since the last note
    int error = 0;                // errno of the write that failed; nothing is written after it
    bool ending = false;
    bool writerDone = false;

    std::size_t room() const { return capacity - std::min(capacity, queuedBytes); }
    std::string why() const {
        return error != 0 ? "cannot write to " + name + ": " + files::englishErrnoText(error) : name + " was not read";
    }
    void push(std::string bytes, Kind kind, std::uint64_t counted = 0) {
        queuedBytes += bytes.size();
        queue.push_back({std::move(bytes), kind, counted});
        changed.notify_all();
    }
    // The note of what was dropped goes in once there is room for it (at the end, in any case).
    void noteDropped(bool always) {
        if (dropped == 0 || error != 0) return;
        std::string note = droppedNote(dropped, why()) + '\n';
        if (!always && note.size() > room()) return;
        push(std::move(note), Kind::Note, dropped);
        dropped = 0;
    }
    std::uint64_t unwrittenLines() const {
        std::uint64_t n = 0;
        for (std::size_t i = 0; i < queue.size(); ++i) n += queue[i].lostFrom(i == 0 ? written : 0);
        return n;
    }
    void wrote(std::size_t n) {
        written += n;
        while (!queue.empty() && written >= queue.front().bytes.size()) {
            written -= queue.front().bytes.size();
            queuedBytes -= queue.front().bytes.size();
            queue.pop_front();
        }
    }
    void fail(int err) {
        dropped += unwrittenLines();
        error = err;
        queue.clear();
        written = queuedBytes = 0;
    }
    // The next write: whole lines from the front, at most kChunk bytes unless one line is longer.
    std::string nextChunk() const {
        std::string chunk;
        for (std::size_t i = 0; i < queue.size() && chunk.size() < kChunk; ++i)
            chunk.append(queue[i].bytes, i == 0 ? written : 0);
        if (chunk.size() > kChunk) {
            const std::size_t end = chunk.rfind('\n', kChunk - 1);
            chunk.resize(end == std::string::npos ? kChunk : end + 1);
        }
        return chunk;
    }

    // The writer thread: the only one that waits for the descriptor.
    void writeOut() {
        std::unique_lock lock(m);
        for (;;) {
            changed.wait(lock, [this] { return !queue.empty() || ending; });
            if (queue.empty()) break;
            const std::string chunk = nextChunk();
            lock.unlock();
            const ssize_t n = ::write(fd, chunk.data(), chunk.size());
            const int err = errno;
            lock.lock();
            if (n < 0 && err == EINTR) continue;
            if (n <= 0) {
                fail(n < 0 ? err : EIO);
                continue;
            }
            wrote(static_cast<std::size_t>(n));
            noteDropped(false);
            changed.notify_all();
        }
        writerDone = true;
        changed.notify_all();
    }
};

std::string LogStream::droppedNote(std::uint64_t count, const std::string& why) {
    return "… " + std::to_string(count) + (count == 1 ? " log line" : " log lines") + " dropped: " + why;
}

LogStream::LogStream(int fd, std::string name, std::size_t capacity)
    : shared_(std::make_shared<Shared>(fd, std::move(name), capacity)) {
    // The writer takes no signal: those that end the unit are for its main loop, and a write
    // beyond a file size limit or into a closed pipe fails instead of ending the process.
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    writer_ = std::thread([s = shared_] { s->writeOut(); });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

LogStream::~LogStream() { finish(std::chrono::milliseconds(0)); }

void LogStream::lines(std::string_view text) {
    Shared& s = *shared_;
    std::lock_guard lock(s.m);
    std::size_t fits = 0;
    if (s.error == 0 && !s.ending) {
        s.noteDropped(false);
        // Nothing passes a note that is still waiting for room.
        for (std::size_t end; s.dropped == 0 && fits < text.size(); fits = end) {
            end = text.find('\n', fits);
            end = end == std::string_view::npos ? text.size() : end + 1;
            if (end > s.room()) break;
        }
        if (fits > 0) s.push(std::string(text.substr(0, fits)), Shared::Kind::Lines);
    }
    s.dropped += lineCount(text.substr(fits));
}

bool LogStream::whole(std::string_view bytes) {
    Shared& s = *shared_;
    std::lock_guard lock(s.m);
    if (s.error != 0 || s.ending) return false;
    s.noteDropped(false);
    if (s.dropped != 0 || bytes.size() > s.room()) return false;
    s.push(std::string(bytes), Shared::Kind::Bytes);
    return true;
}

LogStream::Lost LogStream::finish(std::chrono::milliseconds limit) {
    Shared& s = *shared_;
    std::unique_lock lock(s.m);
    if (!s.ending) {
        s.ending = true;
        s.noteDropped(true);
        s.changed.notify_all();
    }
    s.changed.wait_for(lock, limit, [&s] { return s.writerDone; });
    Lost lost{s.dropped + s.unwrittenLines(), s.why()};
    if (s.error == EBADF) lost.lines = 0;  // a closed descriptor: nobody wanted these lines
    const bool done = s.writerDone;
    lock.unlock();
    // A writer still inside its write() keeps what it shares alive; it ends with the process.
    if (writer_.joinable()) {
        if (done)
            writer_.join();
        else
            writer_.detach();
    }
    return lost;
}

}  // namespace vtunit
