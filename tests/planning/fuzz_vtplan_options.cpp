// libFuzzer: vtplan's command line. Any arguments give options or a reason; accepted options are
// in range and read back the same when written out as a command line again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "options.h"
#include "testkit/fuzz_args.h"

namespace {

bool within(int v, int lowest, int highest) { return v >= lowest && v <= highest; }

bool inRange(const vtplan::Options& o) {
    const auto& cp = o.chargePump;
    const auto& sd = o.sd;
    return within(cp.up, 0, 127) && within(cp.down, 0, 127) && within(cp.offset, 0, 127) &&
           within(cp.offsetDir, 0, 1) && within(cp.hiK, 0, 1) && within(sd.seed, -1, 3) && within(sd.mode, -1, 3) &&
           within(sd.fracRstb, -1, 1) && within(sd.fracBypass, -1, 1);
}

std::vector<std::string> written(const vtplan::Options& o) {
    const auto& cp = o.chargePump;
    const auto& sd = o.sd;
    std::vector<std::string> args{"--up=" + std::to_string(cp.up),
                                  "--down",
                                  std::to_string(cp.down),
                                  "--offset=" + std::to_string(cp.offset),
                                  cp.offsetDir == 0 ? "--offset-dir=up" : "--offset-dir=down",
                                  "--hik",
                                  cp.hiK == 0 ? "on" : "off",
                                  "--seed=" + std::to_string(sd.seed),
                                  "--mode=" + std::to_string(sd.mode),
                                  "--frac-rstb=" + std::to_string(sd.fracRstb),
                                  "--frac-bypass",
                                  std::to_string(sd.fracBypass),
                                  "--",
                                  o.localOutput,
                                  o.multiplier,
                                  o.std,
                                  o.r};
    if (o.search == planning::Search::Nearest) args.insert(args.begin(), "--nearest");
    return args;
}

// A table from a list: the options, then the list and the header file instead of the operands.
std::vector<std::string> writtenForList(const vtplan::Options& o) {
    std::vector<std::string> args = written(o);
    args.resize(args.size() - 5);
    args.push_back("--channels=" + o.channelsFile);
    if (!o.headerFile.empty()) args.push_back("--header=" + o.headerFile);
    return args;
}

bool same(const vtplan::Options& a, const vtplan::Options& b) {
    const auto& x = a.chargePump;
    const auto& y = b.chargePump;
    return x.up == y.up && x.down == y.down && x.offset == y.offset && x.offsetDir == y.offsetDir && x.hiK == y.hiK &&
           a.sd.seed == b.sd.seed && a.sd.mode == b.sd.mode && a.sd.fracRstb == b.sd.fracRstb &&
           a.sd.fracBypass == b.sd.fracBypass && a.localOutput == b.localOutput && a.multiplier == b.multiplier &&
           a.std == b.std && a.r == b.r && a.channelsFile == b.channelsFile && a.headerFile == b.headerFile &&
           a.search == b.search;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = fuzzsupport::argsFromBytes(data, size);
    const auto parsed = vtplan::parseOptions(args);
    if (!parsed.error.empty()) return 0;
    const vtplan::Options& options = parsed.options;
    if (!inRange(options)) std::abort();
    if (options.help) return 0;  // the usage, whatever else the line says
    const auto reread = vtplan::parseOptions(options.channelsFile.empty() ? written(options) : writtenForList(options));
    if (!reread.error.empty() || !same(options, reread.options)) std::abort();
    return 0;
}
