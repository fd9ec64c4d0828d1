#pragma once
// One command on one port: the port's own serial component, link and event loop (the plain
// host's), all made, used and destroyed on the thread that runs the job. No Qt.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "planning/channel_table.h"
#include "serial/host.h"
#include "tools/vtctl/options.h"

namespace vtctl {

// dump and send give up on a unit that has sent more than this without a quiet time.
inline constexpr std::size_t kMostReceived = 64 * 1024;

// What every port is to do; read only once the jobs run.
struct Request {
    Command command = Command::None;
    planning::ChannelTable table;     // write
    int channel = 0;                  // channel
    std::vector<std::uint8_t> bytes;  // send
    int baud = protocol::kDefaultBaud;
    int quietMs = kDefaultQuietMs;
    int timeoutS = kDefaultTimeoutS;  // dump and send: the whole reply
};

struct JobResult {
    enum class Outcome {
        Done,
        NotOpened,    // openError says why
        NoReply,      // a reply wait ran out, or the line was lost
        Gone,         // the device went away during the command
        KeptSending,  // dump or send: the line never went quiet
        TimedOut,     // dump or send: the reply went on past the request's timeout
        Interrupted,  // stopped by a signal
        Failed,       // anything else; detail says what
    };
    Outcome outcome = Outcome::Failed;
    // An interrupted write that had begun: the bytes the unit still waits for, which it would
    // take from the next command as memory.
    int writeShort = 0;
    bool noReply = false;               // a reply wait ended without a reply
    int openError = 0;                  // errno of the failed open
    std::string detail;                 // Failed, TimedOut: the reason's text
    std::string received;               // every byte that came in
    std::vector<std::string> messages;  // the link's message boxes other than the open's "Error"
    std::int64_t elapsedMs = 0;
};

class PortJob {
public:
    PortJob(const Request& request, std::string port) : request_(request), port_(std::move(port)) {}
    PortJob(const PortJob&) = delete;
    PortJob& operator=(const PortJob&) = delete;

    // On the port's own thread: open, run the command, close.
    void run();
    // Any thread: ends the job's waits soon; a job that has not started yet stops at once.
    void interrupt();

    const std::string& port() const { return port_; }
    int sent() const { return sent_.load(std::memory_order_relaxed); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // Once finished().
    const JobResult& result() const { return result_; }

private:
    class Session;
    JobResult work();

    const Request& request_;
    const std::string port_;
    std::atomic<int> sent_{0};  // bytes written so far; owner: the job's thread
    // interrupt() reaches the job's thread through this object, which lives on it while the
    // job runs. Guarded by m_.
    std::mutex m_;
    host::Inbox* inbox_ = nullptr;
    Session* session_ = nullptr;  // set on the job's thread; used there only
    bool interrupted_ = false;
    JobResult result_;  // owner: the job's thread until finished_, then whoever reads it
    std::atomic<bool> finished_{false};
};

}  // namespace vtctl
