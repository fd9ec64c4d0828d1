// vtunit: the simulated Vantorix unit on a pseudo-terminal (see --help and README.md).
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "files/errno_text.h"
#include "files/named_files.h"
#include "files/standard_descriptors.h"
#include "serial/portname.h"
#include "text/shown.h"
#include "tools/vtunit/line.h"
#include "tools/vtunit/log_stream.h"
#include "tools/vtunit/options.h"
#include "tools/vtunit/pty_link.h"

namespace {

// Signals that end the unit; each ends it through the same way out, which removes the alias.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM};

// At the end, the longest each of stdout and stderr is given to take what is left for it.
constexpr std::chrono::milliseconds kLastWrites{500};

void noteSignal(int) {}

// Stop signals stay blocked except inside the poll, so the loop sees them as EINTR there, also
// when the parent had blocked them. Returns the mask for that poll.
sigset_t blockStopSignals() {
    sigset_t stops, waitMask;
    sigemptyset(&stops);
    for (int s : kStopSignals) sigaddset(&stops, s);
    sigprocmask(SIG_BLOCK, &stops, &waitMask);
    struct sigaction sa {};
    sa.sa_handler = noteSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : kStopSignals) {
        sigdelset(&waitMask, s);
        sigaction(s, &sa, nullptr);
    }
    // A closed pipe or a file over its size limit fails the write instead of ending the unit.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    return waitMask;
}

// The pty, its alias and the alias's record, released on every way out of main: the alias
// before the terminal, whose number the next terminal opened may get.
struct Line {
    vtunit::Pty pty;
    commapi::UnitRecord record;
    std::string alias;
    ~Line() {
        if (!alias.empty()) vtunit::removeAlias(alias, pty.slavePath);
        vtunit::closePty(pty);
    }
};

int serve(const vtunit::Options& options, const sigset_t& waitMask, vtunit::Output& output) {
    using namespace vtunit;
    Line line;
    std::string error;
    if (!openPty(line.pty, error)) {
        output.messages.line("vtunit: " + error);
        return 1;
    }
    if (options.link) {
        const auto alias = aliasPath(options.port);
        if (!alias) {
            output.messages.line("vtunit: " + options.port + ": " + commapi::noConfigHomeText());
            return 1;
        }
        if (!makeAlias(*alias, line.pty.slavePath, options.force, line.record, error)) {
            output.messages.line("vtunit: " + text::shown(error));  // it names the alias
            return 2;
        }
        line.alias = *alias;
    }
    if (!options.slaveFile.empty()) {
        const int err =
            files::writeNamedOutput(options.slaveFile, line.pty.slavePath + "\n", "/dev", files::Waiting::Never);
        if (err != 0) {
            output.messages.line(
                "vtunit: cannot write " + text::shown(options.slaveFile) + ": " +
                (err == ENXIO ? "nobody reads it" : files::englishFileProblem(options.slaveFile, err)));
            return 1;
        }
    }
    if (options.printSlave) output.log.line("slave " + line.pty.slavePath);
    try {
        return runLine(line.pty, options, waitMask, output) == LineEnd::Error ? 1 : 0;
    } catch (const std::exception& e) {
        output.messages.line(std::string("vtunit: ") + e.what());
        return 1;
    } catch (...) {
        output.messages.line("vtunit: unexpected error");
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    using namespace vtunit;
    std::vector<std::string> args(argv + 1, argv + argc);
    ParseResult parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vtunit: %s (try --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help) {
        // A usage that did not reach its reader (a full disk, a closed stdout) is no success.
        if (std::fputs(helpText().c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
        std::fprintf(stderr, "vtunit: cannot write to standard output: %s\n", files::englishErrnoText(errno).c_str());
        return 1;
    }
    const sigset_t waitMask = blockStopSignals();
    LogStream log(STDOUT_FILENO, "stdout"), messages(STDERR_FILENO, "stderr");
    Output output{log, messages};
    const int status = serve(parsed.options, waitMask, output);
    // The alias is gone by now: what is left to write cannot keep it.
    if (const LogStream::Lost lost = log.finish(kLastWrites); lost.lines > 0)
        messages.line("vtunit: " + LogStream::droppedNote(lost.lines, lost.why));
    messages.finish(kLastWrites);
    return status;
}
