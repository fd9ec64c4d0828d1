#include "tools/vtctl/port_job.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
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
        if (untilQuiet && replyDeadline.hasExpired()) return IdleEnd::TimedOut;
        QEventLoop loop;
        QTimer over, whole;
        QElapsedTimer armed;
        bool recounted = false;
        const auto arm = [&] {
            over.start(ms);
            armed.start();
        };
        over.setSingleShot(true);
        over.setTimerType(Qt::PreciseTimer);
        QObject::connect(&over, &QTimer::timeout, &loop, [&] {
            if (untilQuiet && !recounted && armed.elapsed() > ms + kLateMs) {
                recounted = true;
                arm();
            } else {
                loop.exit(code(IdleEnd::Over));
            }
        });
        whole.setSingleShot(true);
        whole.setTimerType(Qt::PreciseTimer);
        QObject::connect(&whole, &QTimer::timeout, &loop, [&loop] { loop.exit(code(IdleEnd::TimedOut)); });
        if (untilQuiet) {
            whole.start(static_cast<int>(replyDeadline.remainingTime()));
            tap.setOnReceived([&] {
                if (tap.received().size() > kMostReceived) {
                    loop.exit(code(IdleEnd::KeptSending));
                } else {
                    recounted = false;
                    arm();
                }
            });
        }
        tap.setOnGone([&loop] { loop.exit(code(IdleEnd::Gone)); });
        arm();
        idleLoop = &loop;
        const auto end = static_cast<IdleEnd>(loop.exec());
        idleLoop = nullptr;
        tap.setOnReceived({});
        tap.setOnGone({});
        return end;
    }

    // Runs the command on the open port; how its last idle time ended.
    IdleEnd runCommand(const Request& request) {
        replyDeadline.setRemainingTime(std::chrono::seconds(request.timeoutS), Qt::PreciseTimer);
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
    QObject inbox;  // where interrupt() posts to
    QEventLoop* idleLoop = nullptr;
    QDeadlineTimer replyDeadline;                      // of dump and send, from their first byte
    device::Outcome outcome = device::Outcome::Reply;  // of the link's command (send has none)
    bool stopped = false;
};

void PortJob::run() {
    QElapsedTimer clock;
    clock.start();
    try {
        result_ = work();
    } catch (const std::exception& e) {
        result_.outcome = JobResult::Outcome::Failed;
        result_.detail = e.what();
    }
    result_.elapsedMs = clock.elapsed();
    finished_.store(true, std::memory_order_release);
}

void PortJob::interrupt() {
    std::lock_guard lock(m_);
    interrupted_ = true;
    if (inbox_)
        QMetaObject::invokeMethod(
            inbox_, [this] { session_->stop(); }, Qt::QueuedConnection);
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
        inbox_ = &s.inbox;
    }
    struct Unpublish {
        PortJob& job;
        ~Unpublish() {
            std::lock_guard lock(job.m_);
            job.inbox_ = nullptr;
        }
    } unpublish{*this};

    s.link.connect(QString::number(request_.baud), QString::fromStdString(port_), false);
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
