// vtctl: the unit from the command line, on one port or on many at once (see --help).
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "headerfile/header_file.h"
#include "serial/posix/portname.h"
#include "text/vt_error.h"
#include "tools/vtctl/batch.h"
#include "tools/vtctl/hex_rows.h"
#include "tools/vtctl/options.h"
#include "tools/vtctl/port_report.h"
#include "tools/vtctl/report.h"

namespace {

using namespace vtctl;

void put(std::FILE* f, const std::string& text) { std::fwrite(text.data(), 1, text.size(), f); }

int listPorts(const Options& o) {
    for (const std::string& line : portsLines(o.ports, commapi::systemRoots())) put(stdout, line + "\n");
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailed;
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
        for (const std::string& m : r.messages) put(stderr, ports[i] + ": " + m + "\n");
        const std::string failure = failureText(ports[i], r);
        anyFailed = anyFailed || !failure.empty();
        if (!several && !failure.empty()) put(stderr, failure + "\n");
    }
    if (several)
        for (std::size_t i = 0; i < ports.size(); ++i) put(stdout, summaryLine(ports[i], results[i]) + "\n");
    const bool written = std::fflush(stdout) == 0;
    return anyFailed || !written ? kExitFailed : kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        put(stderr, "vtctl: " + parsed.error + " (try vtctl --help)\n");
        return kExitUsage;
    }
    const Options& o = parsed.options;
    if (o.help) {
        put(stdout, helpText());
        return std::fflush(stdout) == 0 ? kExitDone : kExitFailed;
    }
    if (o.command == Command::Ports) return listPorts(o);

    Request request{o.command, {}, o.channel, o.bytes, o.baud, o.quietMs};
    if (o.command == Command::Write) {
        try {
            request.table = headerfile::readHeaderFile(o.file);
        } catch (const text::VtError& e) {
            put(stderr, "vtctl: " + o.file + ": " + e.what() + "\n");
            return kExitBadFile;
        }
    }
    QCoreApplication app(argc, argv);
    const std::vector<std::string> ports = o.ports.empty() ? std::vector<std::string>{"com1"} : o.ports;
    return report(o, ports, runOnPorts(request, ports));
}
