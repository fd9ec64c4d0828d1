#include "tools/vtctl/port_job.h"

#include <chrono>
#include <exception>

#include "device/device_link.h"
#include "device/rs232c_port.h"
#include "protocol/unit_protocol.h"
#include "serial/rs232c.h"
#include "tools/vtctl/job_outcome.h"
#include "tools/vtctl/job_view.h"
#include "tools/vtctl/tapped_port.h"

namespace vtctl {
namespace {

// A command whose last byte gets no reply wait (the CR) keeps the port open this long, so that
// byte leaves the adapter before the port's settings are put back.
constexpr int kSettleMs = 30;
// A quiet time that ends this much later than due was not watched throughout: the program was
// held up (stopped with Ctrl-Z, or starved), and what came meanwhile may not have reached it.
constexpr int kLateMs = 50;

int code(IdleEnd end) { return static_cast<int>(end); }

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

}  // namespace

// The port's component and link on the job's thread, closed again however the job ends.
class PortJob::Session {
public:
    explicit Session(std::atomic<int>& sent) : tap(component, sent), link(tap, view) {
        device::attachLink(rs232c1, link);
    }
    // The close runs while the link is whole: its close handler is called.
    ~Session() { rs232c1.Close(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs the thread's events for ms milliseconds, or (untilQuiet) until nothing has come in
    // for that long, but not past the reply's deadline; a device that goes ends it at once. A
    // quiet time that ended late is counted once more, so that bytes which came while the
    // program was held up are taken first. How it ended.
    IdleEnd idle(int ms, bool untilQuiet) {
        if (stopped) return IdleEnd::Stopped;
        if (tap.gone()) return IdleEnd::Gone;
        if (untilQuiet && Clock::now() >= replyDeadline) return IdleEnd::TimedOut;
        host::Host& h = host::current();
        const auto loop = h.makeEventLoop();
        Clock::time_point armed;
        bool recounted = false;
        std::unique_ptr<host::Timer> over;
        const auto arm = [&] {
            over->start(milliseconds(ms));
            armed = Clock::now();
        };
        over = h.makeTimer([&] {
            if (untilQuiet && !recounted && Clock::now() - armed > milliseconds(ms + kLateMs)) {
                recounted = true;
                arm();
            } else {
                loop->exit(code(IdleEnd::Over));
            }
        });
        const auto whole = h.makeTimer([&loop] { loop->exit(code(IdleEnd::TimedOut)); });
        if (untilQuiet) {
            whole->start(std::chrono::ceil<milliseconds>(replyDeadline - Clock::now()));
            tap.setOnReceived([&] {
                if (tap.received().size() > kMostReceived) {
                    loop->exit(code(IdleEnd::KeptSending));
                } else {
                    recounted = false;
                    arm();
                }
            });
        }
        tap.setOnGone([&loop] { loop->exit(code(IdleEnd::Gone)); });
        arm();
        idleLoop = loop.get();
        const auto end = static_cast<IdleEnd>(loop->exec());
        idleLoop = nullptr;
        tap.setOnReceived({});
        tap.setOnGone({});
        return end;
    }

    // Runs the command on the open port; how its last idle time ended.
    IdleEnd runCommand(const Request& request) {
        replyDeadline = Clock::now() + std::chrono::seconds(request.timeoutS);
        switch (request.command) {
            case Command::Write: outcome = link.write(request.table); return IdleEnd::Over;
            case Command::Channel: outcome = link.simpleCommand(protocol::channelCommand(request.channel)); break;
            case Command::Init: outcome = link.simpleCommand(protocol::kInitialize); break;
            case Command::Dump:
                outcome = link.dump();
                return device::everyReplyCame(outcome) ? idle(request.quietMs, true) : IdleEnd::Over;
            case Command::Send:
                for (std::uint8_t b : request.bytes) link.sendByte(b);
                return idle(request.quietMs, true);
            case Command::Ports:
            case Command::None: return IdleEnd::Over;
        }
        return device::everyReplyCame(outcome) ? idle(kSettleMs, false) : IdleEnd::Over;
    }

    // The job's thread: ends the wait in progress and every one after it.
    void stop() {
        stopped = true;
        link.lineLost();
        if (idleLoop) idleLoop->exit(code(IdleEnd::Stopped));
    }

    JobView view;
    Trs232c rs232c1;
    device::Rs232cPort component{rs232c1};
    TappedPort tap;
    device::DeviceLink link;
    std::unique_ptr<host::Inbox> inbox = host::current().makeInbox();  // where interrupt() posts to
    host::EventLoop* idleLoop = nullptr;
    Clock::time_point replyDeadline;                   // of dump and send, from their first byte
    device::Outcome outcome = device::Outcome::Reply;  // of the link's command (send has none)
    bool stopped = false;
};

void PortJob::run() {
    const auto started = Clock::now();
    try {
        result_ = work();
    } catch (const std::exception& e) {
        result_.outcome = JobResult::Outcome::Failed;
        result_.detail = e.what();
    }
    result_.elapsedMs = std::chrono::duration_cast<milliseconds>(Clock::now() - started).count();
    finished_.store(true, std::memory_order_release);
}

void PortJob::interrupt() {
    std::lock_guard lock(m_);
    interrupted_ = true;
    if (inbox_) inbox_->post([this] { session_->stop(); });
}

JobResult PortJob::work() {
    using Outcome = JobResult::Outcome;
    JobResult r;
    Session s(sent_);
    {
        std::lock_guard lock(m_);
        if (interrupted_) {
            r.outcome = Outcome::Interrupted;
            return r;
        }
        session_ = &s;
        inbox_ = s.inbox.get();
    }
    struct Unpublish {
        PortJob& job;
        ~Unpublish() {
            std::lock_guard lock(job.m_);
            job.inbox_ = nullptr;
        }
    } unpublish{*this};

    s.link.connect(std::to_string(request_.baud), port_, false);
    if (!s.rs232c1.isOpen()) {
        r.outcome = Outcome::NotOpened;
        r.openError = s.rs232c1.lastError();
        return r;
    }
    const IdleEnd end = s.runCommand(request_);
    s.link.disconnect();
    r.received = s.tap.received();
    r.messages = s.view.messages();
    settleOutcome(r, {request_.command, s.stopped, s.tap.gone(), s.outcome, end, sent_.load(std::memory_order_relaxed),
                      request_.timeoutS});
    return r;
}

}  // namespace vtctl
