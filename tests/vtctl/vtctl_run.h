#pragma once
// vtctl as a child process, with its output kept in a private folder.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <string>
#include <vector>

#include "testkit/child_process.h"
#include "testkit/temp_dir.h"

namespace vttest {

class VtctlRun {
public:
    // Starts vtctl with args; stderr goes to stderrFd instead of a file when one is given. A
    // launcher (setpriv and its options) runs vtctl when one is given.
    explicit VtctlRun(std::vector<std::string> args, int stderrFd = -1, std::vector<std::string> launcher = {})
        : child_([&](const ChildProcess::Parent&) {
              const int out = ::open(dir_.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
              const int err = stderrFd >= 0 ? stderrFd : ::open(dir_.file("err").c_str(), O_WRONLY | O_CREAT, 0600);
              if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) return 126;
              // Every signal as a shell starts a program: none caught, ignored or blocked.
              for (int s = 1; s < NSIG; ++s) ::signal(s, SIG_DFL);
              sigset_t none;
              sigemptyset(&none);
              ::sigprocmask(SIG_SETMASK, &none, nullptr);
              args.insert(args.begin(), VTCTL_BINARY);
              args.insert(args.begin(), launcher.begin(), launcher.end());
              std::vector<char*> argv;
              for (std::string& a : args) argv.push_back(a.data());
              argv.push_back(nullptr);
              ::execvp(argv[0], argv.data());
              return 127;
          }) {}

    // The exit status; -1 when vtctl has not ended within the limit (it is killed then).
    int wait(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const int status = child_.waitExit(limit);
        if (status == -1) child_.stop(SIGKILL);
        return status;
    }
    int stop(int sig) { return child_.stop(sig); }
    pid_t pid() const { return child_.pid(); }

    std::string out() const { return readWholeFile(dir_.file("out")); }
    std::string err() const { return readWholeFile(dir_.file("err")); }

private:
    TempDir dir_;
    ChildProcess child_;
};

}  // namespace vttest
