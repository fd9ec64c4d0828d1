#pragma once
// The simulated unit as a child process in a private configuration folder; its line is opened
// with a LineEnd.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "testkit/child_process.h"
#include "testkit/line_end.h"
#include "testkit/temp_dir.h"

namespace vttest {

// The bytes a unit logged as received ("49", "0D", ...), from its log file.
std::vector<std::string> loggedBytes(const std::string& logFile);

class UnitProcess : public ChildProcess {
public:
    // Starts vtunit with args; XDG_CONFIG_HOME is configHome, stdout goes to logFile (with no
    // name, stdout and stderr are closed).
    UnitProcess(const std::string& configHome, const std::string& logFile, std::vector<std::string> args);
    // How else it may start: its stdout and stderr on descriptors of the test's, and signals its
    // parent had blocked.
    struct Start {
        int out = -1;
        int err = -1;
        std::vector<int> blocked;
    };
    UnitProcess(const std::string& configHome, const Start& start, std::vector<std::string> args);
    ~UnitProcess();  // SIGTERM, then waits

    // Waits until path exists (the alias or the slave file); false after the limit.
    static bool waitForPath(const std::string& path, std::chrono::milliseconds limit = std::chrono::seconds(5));
};

// vtunit serving com1 of a private configuration folder, which is XDG_CONFIG_HOME meanwhile;
// its log and memory file lie there too.
struct SimulatedUnit {
    ConfigHome dir;
    const std::string alias = dir.portAlias(1);
    const std::string logFile = dir.file("log");
    const std::string memoryFile = dir.file("memory");
    std::unique_ptr<UnitProcess> unit;

    // Starts vtunit with args and the memory file; true once the alias is there.
    bool start(std::vector<std::string> args);
    // The bytes the unit received so far.
    std::vector<std::string> received() const { return loggedBytes(logFile); }
};

}  // namespace vttest
