#include "testkit/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <thread>

namespace vttest {

void ChildProcess::Parent::say(const std::string& bytes) const {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(sayFd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

void ChildProcess::Parent::waitUntilLetGo() const {
    char c;
    while (::read(letGoFd, &c, 1) < 0 && errno == EINTR) {}
}

// The pipes close on exec: a program started later never holds a child's line to the parent.
ChildProcess::ChildProcess(const std::function<int(const Parent&)>& body) {
    int says[2], letsGo[2];
    if (::pipe2(says, O_CLOEXEC) != 0 || ::pipe2(letsGo, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(says[0]);
        ::close(letsGo[1]);
        int status = 1;
        try {
            status = body(Parent{says[1], letsGo[0]});
        } catch (...) {}
        ::_exit(status);
    }
    ::close(says[1]);
    ::close(letsGo[0]);
    hearFd_ = says[0];
    letGoFd_ = letsGo[1];
}

ChildProcess::~ChildProcess() {
    letGo();
    if (hearFd_ >= 0) ::close(hearFd_);
    waitExit();
}

std::string ChildProcess::hear(std::size_t count) {
    std::string got;
    char buf[4096];
    while (got.size() < count) {
        const ssize_t n = ::read(hearFd_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0)
            got.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return got;
}

void ChildProcess::letGo() {
    if (letGoFd_ >= 0) ::close(letGoFd_);
    letGoFd_ = -1;
}

int ChildProcess::waitExit(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (int status = 0; pid_ > 0; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= end) break;
    }
    return -1;
}

int ChildProcess::stop(int sig, std::chrono::milliseconds limit) {
    if (pid_ > 0) ::kill(pid_, sig);
    const int status = waitExit(limit);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        waitExit();
    }
    return status;
}

std::optional<std::string> inChild(const std::function<bool()>& prepare, const std::function<std::string()>& body) {
    constexpr int kCannotPrepare = 77;
    ChildProcess child([&](const ChildProcess::Parent& parent) {
        if (!prepare()) return kCannotPrepare;
        try {
            parent.say(body());
        } catch (const std::exception& e) {
            parent.say(std::string("unexpected exception: ") + e.what());
        }
        return 0;
    });
    const std::string report = child.hear();
    const int status = child.waitExit();
    if (status == kCannotPrepare) return std::nullopt;
    if (status != 0) return "child failed";
    return report;
}

std::optional<std::string> inPrivateTmpfs(const std::string& dir, const std::string& options,
                                          const std::function<std::string()>& body) {
    return inChild(
        [&] {
            return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
        },
        body);
}

std::optional<std::string> asOtherUser(const std::function<std::string()>& body) {
    return inChild(
        [] {
            return ::geteuid() == 0 && ::setgroups(0, nullptr) == 0 &&
                   ::setresgid(kOtherUser, kOtherUser, kOtherUser) == 0 &&
                   ::setresuid(kOtherUser, kOtherUser, kOtherUser) == 0;
        },
        body);
}

std::optional<std::string> asUnprivileged(const std::string& dir, const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    constexpr uid_t kNobody = 65534;
    return inChild(
        [&] {
            return ::chown(dir.c_str(), kNobody, kNobody) == 0 && ::setgroups(0, nullptr) == 0 &&
                   ::setresgid(kNobody, kNobody, kNobody) == 0 && ::setresuid(kNobody, kNobody, kNobody) == 0;
        },
        body);
}

}  // namespace vttest
