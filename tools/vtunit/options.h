#pragma once
// Command line of the simulated unit.
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "tools/vtunit/unit.h"

namespace vtunit {

inline constexpr long long kMaxReplyDelayMs = 86'400'000;  // a day
inline constexpr long long kMaxBaud = 4'000'000;
inline constexpr long long kMaxLatencyMs = 255;  // the longest latency timer adapters offer
inline constexpr long long kMaxFlood = 1LL << 30;

struct Options {
    std::string port = "com1";  // alias name, lower case
    bool link = true;           // false: no alias, the slave path is reported only
    bool force = false;         // replace an existing alias
    Faults faults;
    long long replyDelayMs = 0;
    long long baud = 0;       // 0: no pacing
    long long latencyMs = 0;  // an adapter's latency timer on the answers; 0: none
    long long flood = 0;      // unsolicited bytes sent after the first received byte
    std::string memoryFile;   // written after each change of the memory
    bool printSlave = false;  // first line of stdout: "slave <path>"
    std::string slaveFile;    // the slave path is written there
    bool help = false;
};

using ParseResult = cli::ParseResult<Options>;

ParseResult parseOptions(const std::vector<std::string>& args);

std::string helpText();

}  // namespace vtunit
