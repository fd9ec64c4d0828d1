// libFuzzer: vtctl's command line through its public interface. Any arguments give options or an
// error text, never a crash; accepted options always make a command vtctl can run.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/unit_protocol.h"
#include "testkit/fuzz_args.h"
#include "tools/vtctl/options.h"

namespace {

bool usable(const vtctl::Options& o) {
    using vtctl::Command;
    if (o.help) return true;
    for (const std::string& p : o.ports)
        if (p.find('/') == std::string::npos && (p.size() < 4 || p.size() > 9)) return false;
    const bool prints = o.command == Command::Dump || o.command == Command::Send;
    return o.command != Command::None && (o.baud == 9600 || o.baud == 115200) && o.quietMs >= 1 &&
           o.quietMs <= vtctl::kMaxQuietMs && o.channel >= 0 && o.channel < protocol::kChannels &&
           (o.command != Command::Send || !o.bytes.empty()) && (o.command != Command::Write || !o.file.empty()) &&
           (!o.raw || (prints && o.ports.size() <= 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = fuzzsupport::argsFromBytes(data, size);
    const vtctl::ParseResult result = vtctl::parseOptions(args);
    if (result.error.empty() && !usable(result.options)) std::abort();
    return 0;
}
