#include "tools/vtctl/options.h"

#include <charconv>

#include "cli/command_line.h"
#include "protocol/unit_protocol.h"
#include "serial/portname.h"

namespace vtctl {
namespace {

enum Id { kHelp, kPort, kBaud, kQuietMs, kTimeout, kRaw };

const std::vector<cli::OptionDef> kOptionDefs{
    {"help", 'h', false, kHelp},     {"port", 0, true, kPort},       {"baud", 0, true, kBaud},
    {"quiet-ms", 0, true, kQuietMs}, {"timeout", 0, true, kTimeout}, {"raw", 0, false, kRaw},
};

// More bytes than anybody types; the line of a shell allows far more.
constexpr std::size_t kMaxSendBytes = 4096;

struct CommandDef {
    const char* name;
    Command command;
    std::size_t fewest, most;  // arguments
};

constexpr CommandDef kCommands[] = {
    {"write", Command::Write, 1, 1}, {"channel", Command::Channel, 1, 1},       {"init", Command::Init, 0, 0},
    {"dump", Command::Dump, 0, 0},   {"send", Command::Send, 1, kMaxSendBytes}, {"ports", Command::Ports, 0, 0},
};

// A port as the window takes it: "comN" through the alias rule, or a device path.
bool isPortName(const std::string& text) {
    return commapi::isDevicePath(text) || commapi::portAliasName(text).has_value();
}

// One byte in hexadecimal: one or two digits, "0x" before them allowed.
bool takeHexByte(std::string text, std::vector<std::uint8_t>& bytes) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || text.size() > 2 || ec != std::errc() || ptr != end) return false;
    bytes.push_back(static_cast<std::uint8_t>(value));
    return true;
}

// Sets what the option says; the error text, or "".
std::string apply(const cli::Item& item, Options& o) {
    const std::string& v = item.value;
    switch (item.id) {
        case kHelp: o.help = true; return {};
        case kRaw: o.raw = true; return {};
        case kPort:
            if (!isPortName(v)) return "--port: not comN or a device path: '" + v + "'";
            o.ports.push_back(v);
            return {};
        case kBaud:
            for (const int baud : protocol::kBaudRates)
                if (v == std::to_string(baud)) {
                    o.baud = baud;
                    return {};
                }
            return "--baud: " + baudChoice(" or ") + ", not '" + v + "'";
        case kQuietMs:
            if (cli::takeInt(v, o.quietMs, 1, kMaxQuietMs)) return {};
            return "--quiet-ms: a whole number of milliseconds 1 ... " + std::to_string(kMaxQuietMs) + ", not '" + v +
                   "'";
        case kTimeout:
            o.timeoutGiven = true;
            if (cli::takeInt(v, o.timeoutS, 1, kMaxTimeoutS)) return {};
            return "--timeout: a whole number of seconds 1 ... " + std::to_string(kMaxTimeoutS) + ", not '" + v + "'";
    }
    return {};
}

// The command's arguments into o; the error text, or "".
std::string takeArguments(const std::vector<std::string>& args, Options& o) {
    switch (o.command) {
        case Command::Write:
            if (args[0].empty()) return "write: empty file name";
            o.file = args[0];
            return {};
        case Command::Channel:
            if (cli::takeInt(args[0], o.channel, 0, protocol::kChannels - 1)) return {};
            return "channel: 0 ... " + std::to_string(protocol::kChannels - 1) + ", not '" + args[0] + "'";
        case Command::Send:
            for (const std::string& a : args)
                if (!takeHexByte(a, o.bytes)) return "send: not a byte in hexadecimal (00 ... FF): '" + a + "'";
            return {};
        case Command::Init:
        case Command::Dump:
        case Command::Ports:
        case Command::None: return {};
    }
    return {};
}

// The command and its arguments (the operands); the error text, or "".
std::string takeCommand(const std::vector<std::string>& operands, Options& o) {
    if (operands.empty()) return "no command (write, channel, init, dump, send or ports)";
    for (const CommandDef& c : kCommands) {
        if (operands[0] != c.name) continue;
        const std::vector<std::string> args(operands.begin() + 1, operands.end());
        if (args.size() < c.fewest || args.size() > c.most)
            return std::string(c.name) + ": " + (args.size() < c.fewest ? "missing argument" : "too many arguments");
        o.command = c.command;
        return takeArguments(args, o);
    }
    return "unknown command '" + operands[0] + "'";
}

// What the options and the command cannot do together; the error text, or "".
std::string conflictOf(const Options& o) {
    const bool prints = o.command == Command::Dump || o.command == Command::Send;
    if (o.raw && !prints) return "--raw: only for dump and send";
    if (o.timeoutGiven && !prints) return "--timeout: only for dump and send";
    if (o.raw && o.ports.size() > 1) return "--raw: one port only (the bytes of several would run together)";
    return {};
}

}  // namespace

std::string baudChoice(const char* separator, bool markDefault) {
    std::string text;
    for (const int baud : protocol::kBaudRates) {
        if (!text.empty()) text += separator;
        text += std::to_string(baud);
        if (markDefault && baud == protocol::kDefaultBaud) text += " (default)";
    }
    return text;
}

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult r;
    std::vector<std::string> operands;
    r.error = cli::readOptions(
        args, kOptionDefs, [&r](const cli::Item& item) { return apply(item, r.options); }, operands);
    if (!r.error.empty() || r.options.help) return r;
    r.error = takeCommand(operands, r.options);
    if (r.error.empty()) r.error = conflictOf(r.options);
    return r;
}

}  // namespace vtctl
