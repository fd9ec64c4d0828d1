#pragma once
// What vtctl asks of the system it runs on, one file for each (posix/, win32/): which device a
// port name leads to, whether this user may open it, the requests to stop, the terminal for the
// progress line, and standard output for raw bytes. No Qt.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "serial/port_catalog.h"

namespace vtctl {

// What port opens, as comparable text: two names of one device give the same key.
std::string deviceKey(const std::string& port, const std::string& configHome);

// "; you may open it" or "; you may not open it" for a port that leads to a terminal, "" when
// it leads to none or the system tells only by opening it (opening a real port raises its lines).
std::string accessNote(const commapi::ComPortTarget& t, const commapi::CatalogRoots& roots);

// Whether standard error is a terminal that can show the progress line (made ready to, if need be).
bool progressTerminal();

// Standard output passes the bytes written to it unchanged from now on (--raw).
void rawStandardOutput();

// The lines of --help that say what this system has (port names, devices, stop requests, a
// shell's loop), as @NAME@ values of cli::filledIn.
std::vector<std::pair<std::string, std::string>> systemHelp();

// While the object lives, a request that would end the program (a stop signal, Ctrl-C, the
// console closing) is noted instead, however many come: each port is put back as it was found
// before the program ends, and that takes a moment only (every wait is bounded).
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    bool caught() const;

private:
    struct Saved;  // what the system had before
    std::unique_ptr<Saved> saved_;
};

}  // namespace vtctl
