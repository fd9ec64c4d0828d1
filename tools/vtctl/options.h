#pragma once
// Command line of vtctl: the options, the command and its arguments. No Qt.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "protocol/line_speeds.h"

namespace vtctl {

enum class Command { None, Write, Channel, Init, Dump, Send, Ports };

// The exit codes, as --help and the README give them.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // no reply, the device gone, the port would not open
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadFile = 3;

inline constexpr int kDefaultQuietMs = 200;
inline constexpr int kMaxQuietMs = 60'000;
inline constexpr int kDefaultTimeoutS = 10;  // the whole reply of dump and send
inline constexpr int kMaxTimeoutS = 3600;

struct Options {
    std::vector<std::string> ports;  // as given, in order; none: com1 (ports: com1 ... com12)
    int baud = protocol::kDefaultBaud;
    int quietMs = kDefaultQuietMs;
    int timeoutS = kDefaultTimeoutS;
    bool timeoutGiven = false;
    bool raw = false;
    bool help = false;
    Command command = Command::None;
    std::string file;                 // write
    int channel = 0;                  // channel
    std::vector<std::uint8_t> bytes;  // send
};

using ParseResult = cli::ParseResult<Options>;

ParseResult parseOptions(const std::vector<std::string>& args);

// The unit's line speeds as a choice, between separator: "9600 or 115200", "9600|115200"; the
// default marked " (default)" when asked.
std::string baudChoice(const char* separator, bool markDefault = false);

std::string helpText();

}  // namespace vtctl
