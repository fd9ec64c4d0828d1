#pragma once
// A descriptor the unit writes its log or its messages to without ever waiting for it: a pipe
// that nobody reads, or a terminal stopped with Ctrl-S, must hold back neither an answer nor a
// stop signal. What is put goes into a bounded queue, which a thread of the stream's own writes
// out; a line that finds no room is dropped and counted, and the count is said in the stream
// ("… 812 log lines dropped: stdout was not read") as soon as there is room again, or at the end.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace vtunit {

class LogStream {
public:
    static constexpr std::size_t kCapacity = 64 * 1024;

    // fd: where the lines go (not owned); name: what the count calls it ("stdout").
    LogStream(int fd, std::string name, std::size_t capacity = kCapacity);
    ~LogStream();  // as finish with no time left
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    // Queues the whole lines of text (each ending in '\n') in order, up to the first that finds
    // no room; that one and the rest are dropped and counted.
    void lines(std::string_view text);
    void line(std::string_view text) { lines(std::string(text) + '\n'); }
    // Queues bytes that are no log line (an image), whole or not at all; false when not.
    bool whole(std::string_view bytes);

    // At the end: says the count of the lines dropped since it was last said, and gives the
    // writer at most limit to write what is queued. The count of the lines that never reached
    // the stream and were not said there either (0 when all was written), with why:
    // "stdout was not read", or the write's failure.
    struct Lost {
        std::uint64_t lines = 0;
        std::string why;
    };
    Lost finish(std::chrono::milliseconds limit);

    // The note for count lines that were dropped, without its line end.
    static std::string droppedNote(std::uint64_t count, const std::string& why);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;  // with the writer, which may outlive this object
    std::thread writer_;
};

}  // namespace vtunit
