#include "tools/vtunit/options.h"

#include <charconv>
#include <limits>
#include <string>

#include "cli/command_line.h"
#include "protocol/text_figures.h"
#include "serial/portname.h"

namespace vtunit {
namespace {

std::optional<long long> parseCount(const std::string& text) {
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || v < 0) return std::nullopt;
    return v;
}

enum Id {
    kHelp,
    kPort,
    kNoLink,
    kForce,
    kSilent,
    kStopAfter,
    kHangupAfter,
    kReplyDelay,
    kBaud,
    kLatency,
    kFlood,
    kMemoryFile,
    kPrintSlave,
    kSlaveFile
};

const std::vector<cli::OptionDef> kOptionDefs{
    {"help", 'h', false, kHelp},
    // the alias and the files
    {"port", 0, true, kPort},
    {"force", 0, false, kForce},
    {"no-link", 0, false, kNoLink},
    {"print-slave", 0, false, kPrintSlave},
    {"slave-file", 0, true, kSlaveFile},
    {"memory-file", 0, true, kMemoryFile},
    // the faults
    {"silent", 0, false, kSilent},
    {"stop-after", 0, true, kStopAfter},
    {"reply-delay", 0, true, kReplyDelay},
    {"baud", 0, true, kBaud},
    {"latency", 0, true, kLatency},
    {"hangup-after", 0, true, kHangupAfter},
    {"flood", 0, true, kFlood},
};

// A count within [lowest, highest] into field; what lies outside would overflow or exhaust
// memory. The error text, or "".
std::string takeCount(const cli::Item& item, long long& field, long long lowest = 0,
                      long long highest = std::numeric_limits<long long>::max()) {
    const auto n = parseCount(item.value);
    if (!n) return item.name + ": not a count: '" + item.value + "'";
    if (*n < lowest || *n > highest)
        return item.name + ": " + std::to_string(*n) + " is out of range " + std::to_string(lowest) + " ... " +
               std::to_string(highest);
    field = *n;
    return {};
}

std::string takeHangupCount(const cli::Item& item, long long& field) {
    long long n = 0;
    std::string error = takeCount(item, n);
    if (error.empty() && n == 0) error = "--hangup-after: the count starts at 1";
    if (error.empty()) field = n;
    return error;
}

std::string takeFileName(const cli::Item& item, std::string& field) {
    if (item.value.empty()) return item.name + ": empty file name";
    field = item.value;
    return {};
}

// Sets what the option says; the error text, or "".
std::string apply(const cli::Item& item, Options& o) {
    switch (item.id) {
        case kHelp: o.help = true; return {};
        case kNoLink: o.link = false; return {};
        case kForce: o.force = true; return {};
        case kSilent: o.faults.silent = true; return {};
        case kPrintSlave: o.printSlave = true; return {};
        case kPort:
            if (auto alias = commapi::portAliasName(item.value)) {
                o.port = *alias;
                return {};
            }
            return "--port: not a port name comN: '" + item.value + "'";
        case kStopAfter: return takeCount(item, o.faults.stopAfter);
        case kHangupAfter: return takeHangupCount(item, o.faults.hangupAfter);
        case kReplyDelay: return takeCount(item, o.replyDelayMs, 0, kMaxReplyDelayMs);
        case kBaud: return takeCount(item, o.baud, 1, kMaxBaud);
        case kLatency: return takeCount(item, o.latencyMs, 0, kMaxLatencyMs);
        case kFlood: return takeCount(item, o.flood, 0, kMaxFlood);
        case kMemoryFile: return takeFileName(item, o.memoryFile);
        case kSlaveFile: return takeFileName(item, o.slaveFile);
    }
    return {};
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult r;
    r.error = cli::readOptions(args, kOptionDefs, [&r](const cli::Item& item) { return apply(item, r.options); });
    return r;
}

std::string helpText() {
    return cli::filledIn(R"(Usage: vtunit [options]

Plays the Vantorix unit's controller on a pseudo-terminal and links the terminal as the
port alias $XDG_CONFIG_HOME/vtconfig/ports/<port> (default ~/.config/vtconfig/ports/com1),
which the configurator opens when it is told to use that port. The alias is removed on exit
(also on SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 and SIGALRM).

The unit:
  every received byte     is answered with 06 (acknowledge), except as below
  "W" then CR             the next @VT_IMAGE_BYTES@ bytes are stored into the channel memory
  "D"                     answered by the dump: 06, the @VT_IMAGE_BYTES@ memory bytes, the channel byte
                          (@VT_DUMP_BYTES@ bytes in all, sent at once)
  "0" ... "@VT_LAST_CHANNEL@"             switch the current channel (the channel byte becomes 00 ... @VT_LAST_CHANNEL_BYTE@)
  "I"                     initialise: memory all 00, channel 0
Every received byte is logged on stdout as one line "rx XX" (upper-case hexadecimal). stdout and
stderr are never waited for: a line they cannot take is dropped, and the count of such lines is
said once they can ("... 812 log lines dropped: stdout was not read"), and at the end.

Options:
  --port comN           alias name (default com1)
  --force               replace an existing alias, a link (otherwise vtunit refuses to start;
                        an alias left by a simulated unit that was killed is replaced anyway)
  --no-link             make no alias; use with --print-slave or --slave-file
  --print-slave         first line on stdout: "slave <path of the terminal>"
  --slave-file FILE     write the path of the terminal into FILE
  --memory-file FILE    write the @VT_IMAGE_BYTES@ memory bytes into FILE whenever a write completes or
                        "I" clears the memory (replaced as a whole, never half written)
Faults:
  --silent              never answer
  --stop-after N        answer the first N bytes only
  --reply-delay MS      send each answer MS milliseconds after its byte arrived (at most
                        86400000, one day)
  --baud B              pace the line at B baud (1 ... 4000000): a byte takes one byte time
                        (10 bits) to reach the unit and each answer byte one to come back,
                        so a one-byte handshake takes two byte times
  --latency MS          hold the answers as a USB serial adapter's latency timer does (0 ...
                        255, 0: none): the timer ticks every MS milliseconds from the start,
                        and a byte that has come back over the line waits for the next tick,
                        so a handshake takes at least MS milliseconds
  --hangup-after N      close the terminal on receiving byte N (unanswered) and exit: the
                        other side sees the device vanish
  --flood N             after the first received byte has been answered, send N unsolicited
                        bytes 00 01 ... FF 00 01 ... (at most 1073741824, 1 GiB)
  -h, --help            this text

Exit status: 0 after a signal or a hang-up, 1 on a system error, 2 on a bad command line or
an existing alias.
)",
                         protocol::textFigures());
}

}  // namespace vtunit
