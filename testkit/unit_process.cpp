#include "testkit/unit_process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace vttest {

using Clock = std::chrono::steady_clock;

UnitProcess::UnitProcess(const std::string& configHome, const std::string& logFile, std::vector<std::string> args)
    : ChildProcess([&](const Parent&) {
          ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
          const int out = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
          if (out >= 0) ::dup2(out, 1);
          args.insert(args.begin(), VTUNIT_BINARY);
          std::vector<char*> argv;
          for (auto& a : args) argv.push_back(a.data());
          argv.push_back(nullptr);
          ::execv(argv[0], argv.data());
          return 127;
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

bool LineEnd::open(const std::string& path) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return false;
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_, TCSANOW, &tio);
    return true;
}

LineEnd::~LineEnd() {
    if (fd_ >= 0) ::close(fd_);
}

void LineEnd::send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return;
        }
    }
}

std::string LineEnd::receive(std::size_t count, std::chrono::milliseconds limit) {
    std::string got;
    const auto end = Clock::now() + limit;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[4096];
        ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR)) break;
    }
    return got;
}

bool LineEnd::hungUp(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, 50);
        if (p.revents & POLLHUP) return true;
        if (p.revents & POLLIN) {
            char buf[256];
            ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n == 0 || (n < 0 && errno == EIO)) return true;
        }
    }
    return false;
}

std::vector<std::string> loggedBytes(const std::string& logFile) {
    std::vector<std::string> out;
    std::istringstream in(readWholeFile(logFile));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("rx ", 0) == 0) out.push_back(line.substr(3));
    return out;
}

}  // namespace vttest
