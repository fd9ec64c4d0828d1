// The plain host: every thread that makes a loop, a timer or an inbox gets a queue of its own.
// Other threads post jobs into it (one mutex, one condition variable); the thread's loops run
// them in order, and its timers as their deadlines pass, with no Qt and no system calls but
// those of the standard library.
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "serial/host.h"

namespace host {
namespace {

using Clock = std::chrono::steady_clock;

class PlainTimer;

struct Job {
    const void* inbox;  // whose job it is, so that an inbox that goes takes its jobs with it
    std::function<void()> run;
};

// One thread's events. jobs_ is shared: any thread posts, under m_. Everything else belongs to the
// thread itself (owner: the thread that made this object).
class ThreadEvents {
public:
    void post(const void* inbox, std::function<void()> job) {
        {
            std::lock_guard lock(m_);
            jobs_.push_back({inbox, std::move(job)});
        }
        cv_.notify_one();
    }
    // The jobs of inbox not yet taken are dropped.
    void drop(const void* inbox) {
        std::lock_guard lock(m_);
        std::erase_if(jobs_, [inbox](const Job& j) { return j.inbox == inbox; });
    }

    // Runs jobs and timers until *exited. Each round fires the timers due as it began (a timer
    // started again within it waits for the next round, so a zero timer cannot starve the jobs),
    // then takes one job.
    void run(const bool& exited) {
        while (!exited) {
            fireDueTimers(exited);
            if (exited) return;
            std::function<void()> job;
            {
                std::unique_lock lock(m_);
                if (jobs_.empty()) {
                    const auto has = [this] { return !jobs_.empty(); };
                    if (timers_.empty())
                        cv_.wait(lock, has);
                    else
                        cv_.wait_until(lock, nextDeadline(), has);
                    if (jobs_.empty()) continue;  // a timer is due
                }
                job = std::move(jobs_.front().run);
                jobs_.pop_front();
            }
            job();
        }
    }

    // The thread's timers.
    void arm(PlainTimer* t);
    void disarm(PlainTimer* t) { std::erase(timers_, t); }
    std::uint64_t nextStart() { return ++starts_; }

private:
    Clock::time_point nextDeadline() const;
    void fireDueTimers(const bool& exited);

    std::mutex m_;
    std::condition_variable cv_;
    std::deque<Job> jobs_;             // guarded by m_
    std::vector<PlainTimer*> timers_;  // the active ones; the thread's own
    std::uint64_t starts_ = 0;         // timer starts so far; the thread's own
};

// The calling thread's events, made at its first use; loops, timers and inboxes keep them alive.
std::shared_ptr<ThreadEvents> thisThread() {
    thread_local std::shared_ptr<ThreadEvents> events = std::make_shared<ThreadEvents>();
    return events;
}

class PlainTimer final : public Timer {
public:
    explicit PlainTimer(std::function<void()> timeout) : timeout_(std::move(timeout)) {}
    ~PlainTimer() override { stop(); }
    void start(std::chrono::milliseconds interval) override {
        deadline_ = Clock::now() + interval;
        start_ = events_->nextStart();
        if (!active_) events_->arm(this);
        active_ = true;
    }
    void stop() override {
        if (active_) events_->disarm(this);
        active_ = false;
    }
    bool isActive() const override { return active_; }

    // The round of ThreadEvents::run.
    Clock::time_point deadline() const { return deadline_; }
    std::uint64_t startNumber() const { return start_; }
    void fire() {
        stop();
        timeout_();
    }

private:
    std::shared_ptr<ThreadEvents> events_ = thisThread();
    std::function<void()> timeout_;
    Clock::time_point deadline_{};
    std::uint64_t start_ = 0;
    bool active_ = false;
};

void ThreadEvents::arm(PlainTimer* t) { timers_.push_back(t); }

Clock::time_point ThreadEvents::nextDeadline() const {
    auto next = Clock::time_point::max();
    for (const PlainTimer* t : timers_) next = std::min(next, t->deadline());
    return next;
}

void ThreadEvents::fireDueTimers(const bool& exited) {
    const auto now = Clock::now();
    const std::uint64_t lastStart = starts_;
    // The earliest due first, of those started before this round; an action may start, stop or
    // destroy any timer, so each is looked for afresh.
    while (!exited) {
        PlainTimer* due = nullptr;
        for (PlainTimer* t : timers_) {
            if (t->startNumber() > lastStart || t->deadline() > now) continue;
            if (!due || t->deadline() < due->deadline() ||
                (t->deadline() == due->deadline() && t->startNumber() < due->startNumber()))
                due = t;
        }
        if (!due) return;
        due->fire();
    }
}

class PlainEventLoop final : public EventLoop {
public:
    int exec() override {
        running_ = true;
        exited_ = false;
        code_ = 0;
        // What a job throws leaves the loop as well; it is no longer running then.
        const struct Running {
            bool& on;
            ~Running() { on = false; }
        } running{running_};
        events_->run(exited_);
        return code_;
    }
    void exit(int code) override {
        if (!running_) return;
        exited_ = true;
        code_ = code;
    }

private:
    std::shared_ptr<ThreadEvents> events_ = thisThread();
    bool running_ = false;
    bool exited_ = false;
    int code_ = 0;
};

class PlainInbox final : public Inbox {
public:
    ~PlainInbox() override { events_->drop(this); }
    void post(std::function<void()> job) override { events_->post(this, std::move(job)); }

private:
    std::shared_ptr<ThreadEvents> events_ = thisThread();
};

class PlainEventWindow final : public TEventWindow {
public:
    explicit PlainEventWindow(std::function<bool(const TPortMessage&)> proc) : proc_(std::move(proc)) {}
    void post(const TPortMessage& m) override {
        inbox_.post([this, m] {
            try {
                proc_(m);
            } catch (...) {
                current().reportException(std::current_exception());
            }
        });
    }

private:
    std::function<bool(const TPortMessage&)> proc_;
    PlainInbox inbox_;  // last: it goes first, with the messages that would call proc_
};

void toStderr(std::exception_ptr e) noexcept {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "error: %s\n", ex.what());
    } catch (...) {
        std::fprintf(stderr, "error: unknown exception\n");
    }
}

class PlainHost final : public Host {
public:
    std::unique_ptr<EventLoop> makeEventLoop() override { return std::make_unique<PlainEventLoop>(); }
    std::unique_ptr<Timer> makeTimer(std::function<void()> timeout) override {
        return std::make_unique<PlainTimer>(std::move(timeout));
    }
    std::unique_ptr<Inbox> makeInbox() override { return std::make_unique<PlainInbox>(); }
    std::unique_ptr<TEventWindow> makeEventWindow(std::function<bool(const TPortMessage&)> proc) override {
        return std::make_unique<PlainEventWindow>(std::move(proc));
    }
    // Whoever runs on the plain host says what it has to say itself (vtctl keeps the link's
    // messages): what comes here has nobody else to go to.
    void showMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void beep(unsigned) override {}
    void reportException(std::exception_ptr e) noexcept override { toStderr(e); }
};

PlainHost gPlain;
Host* gInstalled = nullptr;  // owner: the main thread, set before any other thread runs

}  // namespace

Host& plainHost() { return gPlain; }
Host& current() { return gInstalled ? *gInstalled : gPlain; }
Host* install(Host* h) { return std::exchange(gInstalled, h); }

}  // namespace host
