#pragma once
// Work done in a forked child process: another program holding a port, the simulated unit, a
// body run with other rights or mounts than the test's own.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace vttest {

// A child that runs a function (which may exec a program). It can tell the parent something
// through a pipe and wait until the parent lets it go.
class ChildProcess {
public:
    struct Parent {  // the child's ends of the two pipes
        int sayFd, letGoFd;
        void say(const std::string& bytes) const;
        void waitUntilLetGo() const;  // returns once the parent has let go or has gone
    };
    // Forks; the child exits with what body returns.
    explicit ChildProcess(const std::function<int(const Parent&)>& body);
    ~ChildProcess();  // lets go, then waits for the end
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // What the child says, up to count bytes: less when it closes its end first.
    std::string hear(std::size_t count = std::string::npos);
    void letGo();
    pid_t pid() const { return pid_; }
    // The exit status (128 + the signal after one), or -1 when the end did not come in time.
    int waitExit(std::chrono::milliseconds limit = std::chrono::hours(1));
    // Sends sig, then waits as waitExit does; kills the child when it outlasts the limit.
    int stop(int sig, std::chrono::milliseconds limit = std::chrono::seconds(5));

private:
    pid_t pid_ = -1;
    int hearFd_ = -1, letGoFd_ = -1;
};

// Runs body in a child after prepare() has set the child up; body's text comes back, "child
// failed" when the child did not end well, nullopt when prepare() failed.
std::optional<std::string> inChild(const std::function<bool()>& prepare, const std::function<std::string()>& body);

// Runs body in a child that has its own mount namespace, with a tmpfs mounted on dir using the
// given options; nullopt when this process cannot mount (not root, no namespaces).
std::optional<std::string> inPrivateTmpfs(const std::string& dir, const std::string& options,
                                          const std::function<std::string()>& body);

// Another local user, the one whose doings the tests play against root's: uid and gid 65534.
inline constexpr uid_t kOtherUser = 65534;
// Runs body in a child that has become kOtherUser, with no groups but its own; nullopt when this
// process cannot switch (it is not root).
std::optional<std::string> asOtherUser(const std::function<std::string()>& body);

// Runs body as an ordinary user: in a child that gives dir to "nobody" and becomes it when this
// process is root, else right here; nullopt when the switch fails.
std::optional<std::string> asUnprivileged(const std::string& dir, const std::function<std::string()>& body);

}  // namespace vttest
