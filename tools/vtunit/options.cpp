#include "tools/vtunit/options.h"

#include <charconv>
#include <string>

namespace vtunit {
namespace {

std::optional<long long> parseCount(const std::string& text) {
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || v < 0) return std::nullopt;
    return v;
}

std::optional<std::string> portAlias(const std::string& text) {
    if (text.size() < 4) return std::nullopt;
    std::string lower;
    for (char c : text) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    if (lower.compare(0, 3, "com") != 0) return std::nullopt;
    auto n = parseCount(lower.substr(3));
    if (!n || *n < 1 || *n > 255 || lower[3] == '0') return std::nullopt;
    return lower;
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult r;
    Options& o = r.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        auto flag = [&]() {
            if (inlineValue) r.error = name + " takes no value";
            return r.error.empty();
        };
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 >= args.size()) {
                r.error = name + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        auto count = [&]() -> std::optional<long long> {
            auto v = value();
            if (!v) return std::nullopt;
            auto n = parseCount(*v);
            if (!n) r.error = name + ": not a count: '" + *v + "'";
            return n;
        };
        // A count within [lowest, highest]; what lies outside would overflow or exhaust memory.
        auto ranged = [&](long long lowest, long long highest) -> std::optional<long long> {
            auto n = count();
            if (n && (*n < lowest || *n > highest)) {
                r.error = name + ": " + std::to_string(*n) + " is out of range " + std::to_string(lowest) +
                          " ... " + std::to_string(highest);
                return std::nullopt;
            }
            return n;
        };

        if (name == "-h" || name == "--help") {
            if (flag()) o.help = true;
        } else if (name == "--port") {
            if (auto v = value()) {
                if (auto alias = portAlias(*v)) o.port = *alias;
                else r.error = "--port: not a port name com1 ... com255: '" + *v + "'";
            }
        } else if (name == "--no-link") {
            if (flag()) o.link = false;
        } else if (name == "--force") {
            if (flag()) o.force = true;
        } else if (name == "--silent") {
            if (flag()) o.faults.silent = true;
        } else if (name == "--stop-after") {
            if (auto n = count()) o.faults.stopAfter = *n;
        } else if (name == "--hangup-after") {
            if (auto n = count()) {
                if (*n == 0) r.error = "--hangup-after: the count starts at 1";
                else o.faults.hangupAfter = *n;
            }
        } else if (name == "--reply-delay") {
            if (auto n = ranged(0, kMaxReplyDelayMs)) o.replyDelayMs = *n;
        } else if (name == "--baud") {
            if (auto n = ranged(1, kMaxBaud)) o.baud = *n;
        } else if (name == "--flood") {
            if (auto n = ranged(0, kMaxFlood)) o.flood = *n;
        } else if (name == "--memory-file") {
            if (auto v = value()) {
                if (v->empty()) r.error = "--memory-file: empty file name";
                else o.memoryFile = *v;
            }
        } else if (name == "--print-slave") {
            if (flag()) o.printSlave = true;
        } else if (name == "--slave-file") {
            if (auto v = value()) {
                if (v->empty()) r.error = "--slave-file: empty file name";
                else o.slaveFile = *v;
            }
        } else {
            r.error = "unknown option '" + name + "'";
        }
        if (!r.error.empty()) return r;
    }
    return r;
}

std::string helpText() {
    return R"(Usage: vtunit [options]

Plays the Vantorix unit's controller on a pseudo-terminal and links the terminal as the
port alias $XDG_CONFIG_HOME/vtconfig/ports/<port> (default ~/.config/vtconfig/ports/com1),
which the configurator opens when it is told to use that port. The alias is removed on exit
(also on SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 and SIGALRM).

The unit:
  every received byte     is answered with 06 (acknowledge), except as below
  "W" then CR             the next 128 bytes are stored into the channel memory
  "D"                     answered by the dump: 06, the 128 memory bytes, the channel byte
                          (130 bytes in all, sent at once)
  "0" ... "7"             switch the current channel (the channel byte becomes 00 ... 07)
  "I"                     initialise: memory all 00, channel 0
Every received byte is logged on stdout as one line "rx XX" (upper-case hexadecimal).

Options:
  --port comN           alias name (default com1)
  --force               replace an existing alias (otherwise vtunit refuses to start)
  --no-link             make no alias; use with --print-slave or --slave-file
  --print-slave         first line on stdout: "slave <path of the terminal>"
  --slave-file FILE     write the path of the terminal into FILE
  --memory-file FILE    write the 128 memory bytes into FILE whenever a write completes or
                        "I" clears the memory (replaced as a whole, never half written)
Faults:
  --silent              never answer
  --stop-after N        answer the first N bytes only
  --reply-delay MS      send each answer MS milliseconds after its byte arrived (at most
                        86400000, one day)
  --baud B              pace the line: one byte time (10 bits at B baud) per byte, both ways
                        (1 ... 4000000)
  --hangup-after N      close the terminal on receiving byte N (unanswered) and exit: the
                        other side sees the device vanish
  --flood N             after the first received byte has been answered, send N unsolicited
                        bytes 00 01 ... FF 00 01 ... (at most 1073741824, 1 GiB)
  -h, --help            this text

Exit status: 0 after a signal or a hang-up, 1 on a system error, 2 on a bad command line or
an existing alias.
)";
}

}  // namespace vtunit
