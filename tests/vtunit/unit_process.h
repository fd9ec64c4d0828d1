#pragma once
// Test support: runs the simulated unit as a child process in a private configuration folder
// and opens its line from the configurator's side.
#include <chrono>
#include <string>
#include <vector>
#include <sys/types.h>

#include "tests/support/temp_dir.h"

namespace vttest {


// The bytes a unit logged as received ("49", "0D", ...), from its log file.
std::vector<std::string> loggedBytes(const std::string& logFile);

class UnitProcess {
public:
    // Starts vtunit with args; XDG_CONFIG_HOME is configHome, stdout goes to logFile.
    UnitProcess(const std::string& configHome, const std::string& logFile, std::vector<std::string> args);
    ~UnitProcess();  // SIGTERM, then waits
    UnitProcess(const UnitProcess&) = delete;
    UnitProcess& operator=(const UnitProcess&) = delete;

    // Waits until path exists (the alias or the slave file); false after the limit.
    static bool waitForPath(const std::string& path, std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Sends sig and waits for the exit; the exit status, or -1 when it did not end in time.
    int stop(int sig, std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Waits for the process to end by itself; the exit status, or -1 after the limit.
    int waitExit(std::chrono::milliseconds limit);
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

// The path of the vtunit binary under test.
std::string unitBinary();

// The configurator's end of the line: a raw, non-blocking descriptor.
class LineEnd {
public:
    explicit LineEnd(const std::string& path);
    ~LineEnd();
    LineEnd(const LineEnd&) = delete;
    LineEnd& operator=(const LineEnd&) = delete;
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void send(const std::string& bytes);
    // Reads until count bytes have come or the limit passes.
    std::string receive(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(3));
    // True when the other side hung up (read gives EOF/EIO or poll reports POLLHUP) within the limit.
    bool hungUp(std::chrono::milliseconds limit = std::chrono::seconds(3));

private:
    int fd_ = -1;
};

}  // namespace vttest
