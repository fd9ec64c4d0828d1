// libFuzzer: vtunit's command line through its public interface. Any arguments give options or
// an error text, never a crash; accepted options name a port by the comm layer's rule (com1 ...
// com999999) and hold no negative count.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "testkit/fuzz_args.h"
#include "tools/vtunit/options.h"

namespace {

// "com1" ... "com999999", lower case, no leading zero.
bool isPortAlias(const std::string& port) {
    if (port.size() < 4 || port.size() > 9 || port.compare(0, 3, "com") != 0 || port[3] == '0') return false;
    int n = 0;
    for (std::size_t i = 3; i < port.size(); ++i) {
        if (port[i] < '0' || port[i] > '9') return false;
        n = n * 10 + (port[i] - '0');
    }
    return n >= 1 && n <= 999'999;
}

bool usable(const vtunit::Options& o) {
    const auto& f = o.faults;
    return isPortAlias(o.port) && f.stopAfter >= -1 && (f.hangupAfter == -1 || f.hangupAfter >= 1) &&
           o.replyDelayMs >= 0 && o.baud >= 0 && o.flood >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = fuzzsupport::argsFromBytes(data, size);
    const vtunit::ParseResult result = vtunit::parseOptions(args);
    if (!result.error.empty()) return 0;
    if (!usable(result.options)) std::abort();
    return 0;
}
