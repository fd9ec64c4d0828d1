// vtctl: the unit from the command line, on one port or on many at once (see --help).
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "files/errno_text.h"
#include "files/standard_descriptors.h"
#include "headerfile/header_file.h"
#include "serial/portname.h"
#include "text/shown.h"
#include "text/vt_error.h"
#include "tools/vtctl/batch.h"
#include "tools/vtctl/hex_rows.h"
#include "tools/vtctl/options.h"
#include "tools/vtctl/port_report.h"
#include "tools/vtctl/report.h"
#include "tools/vtctl/same_device.h"
#include "tools/vtctl/system.h"

namespace {

using namespace vtctl;

int gStdoutError = 0;  // the first failed write to stdout (errno)

void put(std::FILE* f, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), f) != text.size() && f == stdout && gStdoutError == 0)
        gStdoutError = errno;
}

// Ends the output on stdout: a write that failed (a full disk, a closed pipe) is said on stderr
// and fails the run. The exit code.
int finish(int code) {
    if (std::fflush(stdout) != 0 && gStdoutError == 0) gStdoutError = errno;
    if (gStdoutError == 0 && std::ferror(stdout)) gStdoutError = EIO;
    if (gStdoutError == 0) return code;
    put(stderr, "vtctl: cannot write to standard output: " + files::englishErrnoText(gStdoutError) + "\n");
    return code == kExitDone ? kExitFailed : code;
}

int usageError(const std::string& error) {
    put(stderr, "vtctl: " + error + " (try vtctl --help)\n");
    return kExitUsage;
}

int listPorts(const Options& o) {
    for (const std::string& line : portsLines(o.ports, commapi::systemRoots())) put(stdout, line + "\n");
    return finish(kExitDone);
}

// The register header's table; nullopt once the problem is said.
std::optional<planning::ChannelTable> readTable(const std::string& path) {
    try {
        return headerfile::readHeaderFile(path);
    } catch (const headerfile::ReadError& e) {
        put(stderr, "vtctl: " + text::shown(path) + ": " + files::englishFileProblem(path, e.errnoValue) + "\n");
    } catch (const text::VtError& e) {
        put(stderr, "vtctl: " + text::shown(path) + ": " + e.what() + "\n");
    }
    return std::nullopt;
}

// What came back from a port, on stdout: raw, or as rows (after the port's name when there are
// several).
void printReceived(const Options& o, const std::string& port, const JobResult& r, bool several) {
    if (o.raw)
        put(stdout, r.received);
    else
        put(stdout, hexRows(r.received, several ? port + ": " : ""));
}

// Prints every port's outcome; the exit code.
int report(const Options& o, const std::vector<std::string>& ports, const std::vector<JobResult>& results) {
    const bool several = ports.size() > 1;
    const bool prints = o.command == Command::Dump || o.command == Command::Send;
    bool anyFailed = false;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const JobResult& r = results[i];
        if (prints) printReceived(o, ports[i], r, several);
        for (const std::string& m : r.messages) put(stderr, text::shown(ports[i]) + ": " + m + "\n");
        const std::string failure = failureText(ports[i], r);
        anyFailed = anyFailed || !failure.empty();
        if (!several && !failure.empty()) put(stderr, failure + "\n");
    }
    if (several)
        for (std::size_t i = 0; i < ports.size(); ++i) put(stdout, summaryLine(ports[i], results[i]) + "\n");
    return finish(anyFailed ? kExitFailed : kExitDone);
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = parseOptions(args);
    if (!parsed.error.empty()) return usageError(parsed.error);
    const Options& o = parsed.options;
    if (o.help) {
        put(stdout, helpText());
        return finish(kExitDone);
    }
    if (const std::string twice = samePortTwice(o.ports, commapi::configHome()); !twice.empty())
        return usageError(twice);
    if (o.command == Command::Ports) return listPorts(o);

    Request request{o.command, {}, o.channel, o.bytes, o.baud, o.quietMs, o.timeoutS};
    if (o.command == Command::Write) {
        const auto table = readTable(o.file);
        if (!table) return kExitBadFile;
        request.table = *table;
    }
    if (o.raw) rawStandardOutput();
    const std::vector<std::string> ports = o.ports.empty() ? std::vector<std::string>{"com1"} : o.ports;
    return report(o, ports, runOnPorts(request, ports));
}
