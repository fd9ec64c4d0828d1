#pragma once
// A scripted comm layer: records what the component asks of the port and lets a test feed the
// events that a pty cannot produce (modem lines, line errors) or make single calls fail.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial/commapi.h"

struct FakeState {
    std::mutex m;
    std::condition_variable cv;
    // Script (set by the test before Open).
    bool failCreate = false, failSetup = false, failSetState = false, failSetTimeouts = false;
    bool failWait = false;  // every waitCommEvent fails at once
    commapi::DCB deviceDcb{};
    commapi::DWORD inQueue = 0;
    // Record.
    std::vector<std::string> calls;
    commapi::DCB written{};
    bool stateWritten = false;
    commapi::COMMTIMEOUTS timeouts{};
    commapi::DWORD mask = 0;
    std::vector<commapi::DWORD> purges;
    std::vector<commapi::DWORD> escapes;
    int waits = 0;
    bool closed = false;
    int opened = 0;
    // Events queued for the next waits; the wait blocks while none is queued.
    std::deque<commapi::DWORD> events;
    bool maskChanged = false;

    void feed(commapi::DWORD ev) {
        {
            std::lock_guard lock(m);
            events.push_back(ev);
        }
        cv.notify_all();
    }
    void log(const std::string& c) { calls.push_back(c); }
};

class FakePort final : public commapi::CommPort {
public:
    explicit FakePort(FakeState& s) : s_(s) {}
    bool setupComm(commapi::DWORD in, commapi::DWORD) override {
        std::lock_guard lock(s_.m);
        s_.log("setupComm");
        s_.inQueue = in;
        return !s_.failSetup;
    }
    bool getCommState(commapi::DCB& dcb) override {
        std::lock_guard lock(s_.m);
        s_.log("getCommState");
        dcb = s_.deviceDcb;
        return true;
    }
    bool setCommState(const commapi::DCB& dcb) override {
        std::lock_guard lock(s_.m);
        s_.log("setCommState");
        s_.written = dcb;
        s_.stateWritten = true;
        return !s_.failSetState;
    }
    bool getCommTimeouts(commapi::COMMTIMEOUTS& t) override {
        std::lock_guard lock(s_.m);
        t = s_.timeouts;
        return true;
    }
    bool setCommTimeouts(const commapi::COMMTIMEOUTS& t) override {
        std::lock_guard lock(s_.m);
        s_.log("setCommTimeouts");
        s_.timeouts = t;
        return !s_.failSetTimeouts;
    }
    bool setCommMask(commapi::DWORD mask) override {
        {
            std::lock_guard lock(s_.m);
            s_.log("setCommMask");
            s_.mask = mask;
            s_.maskChanged = true;
        }
        s_.cv.notify_all();
        return true;
    }
    bool waitCommEvent(commapi::DWORD& occurred) override {
        std::unique_lock lock(s_.m);
        ++s_.waits;
        if (s_.failWait) return false;
        s_.cv.wait(lock, [&] { return s_.maskChanged || !s_.events.empty(); });
        if (s_.maskChanged) {
            s_.maskChanged = false;
            occurred = 0;
            return true;
        }
        occurred = s_.events.front() & s_.mask;
        s_.events.pop_front();
        return true;
    }
    bool purgeComm(commapi::DWORD flags) override {
        std::lock_guard lock(s_.m);
        s_.log("purgeComm");
        s_.purges.push_back(flags);
        return true;
    }
    bool clearCommError(commapi::DWORD& errors, commapi::COMSTAT& stat) override {
        std::lock_guard lock(s_.m);
        errors = 0;
        stat = commapi::COMSTAT{};
        stat.cbInQue = static_cast<commapi::DWORD>(inQue);
        return true;
    }
    bool escapeCommFunction(commapi::DWORD func) override {
        std::lock_guard lock(s_.m);
        s_.escapes.push_back(func);
        return true;
    }
    bool readFile(void*, commapi::DWORD, commapi::DWORD& done, commapi::DWORD) override {
        done = 0;
        return false;
    }
    bool writeFile(const void*, commapi::DWORD count, commapi::DWORD& done, commapi::DWORD) override {
        done = count;
        return true;
    }
    bool closeHandle() override {
        std::lock_guard lock(s_.m);
        s_.log("closeHandle");
        s_.closed = true;
        return true;
    }
    int inQue = 0;  // what clearCommError reports (set under s_.m via setInQue)

private:
    FakeState& s_;
};

class FakeLayer final : public commapi::CommLayer {
public:
    FakeState state;
    FakePort* last = nullptr;
    std::string lastName;
    std::unique_ptr<commapi::CommPort> createFile(const std::string& name) override {
        std::lock_guard lock(state.m);
        lastName = name;
        state.log("createFile");
        if (state.failCreate) return nullptr;
        ++state.opened;
        state.closed = false;
        auto p = std::make_unique<FakePort>(state);
        last = p.get();
        return p;
    }
    commapi::CommError lastError() const override { return {}; }
    void setInQue(int n) {
        std::lock_guard lock(state.m);
        last->inQue = n;
    }
};
