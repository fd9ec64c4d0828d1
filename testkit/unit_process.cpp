#include "testkit/unit_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <thread>

namespace vttest {

using Clock = std::chrono::steady_clock;

namespace {

int execUnit(const std::string& configHome, std::vector<std::string>& args) {
    ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    args.insert(args.begin(), VTUNIT_BINARY);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    return 127;
}

}  // namespace

UnitProcess::UnitProcess(const std::string& configHome, const std::string& logFile, std::vector<std::string> args)
    : ChildProcess([&](const Parent&) {
          if (logFile.empty()) {
              ::close(1);
              ::close(2);
          } else if (const int out = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644); out >= 0) {
              ::dup2(out, 1);
          }
          return execUnit(configHome, args);
      }) {}

UnitProcess::UnitProcess(const std::string& configHome, const Start& start, std::vector<std::string> args)
    : ChildProcess([&](const Parent&) {
          if ((start.out >= 0 && ::dup2(start.out, 1) < 0) || (start.err >= 0 && ::dup2(start.err, 2) < 0)) return 126;
          sigset_t blocked;
          sigemptyset(&blocked);
          for (int s : start.blocked) sigaddset(&blocked, s);
          ::sigprocmask(SIG_BLOCK, &blocked, nullptr);
          return execUnit(configHome, args);
      }) {}

UnitProcess::~UnitProcess() { stop(SIGTERM); }

bool UnitProcess::waitForPath(const std::string& path, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool SimulatedUnit::start(std::vector<std::string> args) {
    args.insert(args.end(), {"--memory-file", memoryFile});
    unit = std::make_unique<UnitProcess>(dir.path(), logFile, std::move(args));
    return UnitProcess::waitForPath(alias);
}

std::vector<std::string> loggedBytes(const std::string& logFile) {
    std::vector<std::string> out;
    std::istringstream in(readWholeFile(logFile));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("rx ", 0) == 0) out.push_back(line.substr(3));
    return out;
}

}  // namespace vttest
