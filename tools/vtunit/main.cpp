// vtunit: the simulated Vantorix unit on a pseudo-terminal (see --help and README.md).
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/vtunit/line.h"
#include "tools/vtunit/options.h"
#include "tools/vtunit/pty_link.h"

namespace {

void noteSignal(int) {}

}  // namespace

int main(int argc, char** argv) {
    using namespace vtunit;
    std::vector<std::string> args(argv + 1, argv + argc);
    ParseResult parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vtunit: %s (try --help)\n", parsed.error.c_str());
        return 2;
    }
    const Options& options = parsed.options;
    if (options.help) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }

    // Stop signals stay blocked except inside the poll, so the loop sees them as EINTR there.
    sigset_t stops, waitMask;
    sigemptyset(&stops);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, s);
    sigprocmask(SIG_BLOCK, &stops, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);
    struct sigaction sa {};
    sa.sa_handler = noteSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Pty pty;
    std::string error;
    if (!openPty(pty, error)) {
        std::fprintf(stderr, "vtunit: %s\n", error.c_str());
        return 1;
    }
    std::string alias;
    if (options.link) {
        alias = aliasDirectory() + "/" + options.port;
        if (!makeAlias(alias, pty.slavePath, options.force, error)) {
            std::fprintf(stderr, "vtunit: %s\n", error.c_str());
            closePty(pty);
            return 2;
        }
    }
    if (!options.slaveFile.empty() && !replaceFileContents(options.slaveFile, pty.slavePath + "\n", error)) {
        std::fprintf(stderr, "vtunit: %s\n", error.c_str());
        if (!alias.empty()) removeAlias(alias, pty.slavePath);
        closePty(pty);
        return 1;
    }
    if (options.printSlave) std::printf("slave %s\n", pty.slavePath.c_str());
    std::fflush(stdout);

    const LineEnd end = runLine(pty, options, waitMask);
    closePty(pty);
    if (!alias.empty()) removeAlias(alias, pty.slavePath);
    return end == LineEnd::Error ? 1 : 0;
}
