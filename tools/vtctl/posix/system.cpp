// What vtctl asks of a POSIX system.
#include "tools/vtctl/system.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <utility>
#include <vector>

#include "serial/portname.h"

namespace vtctl {
namespace {

volatile std::sig_atomic_t gStopSignal = 0;

void noteStop(int sig) { gStopSignal = sig; }

// Every signal that would end the program, other than a fault of its own (SIGSEGV, SIGABRT, …):
// each ends the jobs as SIGINT does, the unit told what it was left with.
std::vector<int> endingSignals() {
    std::vector<int> ending{SIGHUP,  SIGINT,  SIGQUIT, SIGPIPE, SIGALRM,   SIGTERM, SIGUSR1,  SIGUSR2,
                            SIGPOLL, SIGPROF, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPWR,  SIGSTKFLT};
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) ending.push_back(s);
    return ending;
}

}  // namespace

// The device number of a device, the inode of any other file, else the path it would open.
std::string deviceKey(const std::string& port, const std::string& configHome) {
    const auto path = commapi::resolvePortName(port, configHome);
    if (!path) return "name " + port;
    struct stat st {};
    if (path->refused || ::stat(path->path.c_str(), &st) != 0) return "path " + path->path;
    if (S_ISCHR(st.st_mode)) return "device " + std::to_string(st.st_rdev);
    return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

// Looks only: nothing, a refused alias, a file, a device that is no terminal lead to no note
// (vtctl would not open those either).
std::string accessNote(const commapi::ComPortTarget& t, const commapi::CatalogRoots& roots) {
    const auto path = commapi::resolvePortName(t.port, roots.configHome, roots.dev);
    if (!path || !t.terminal || t.refused) return "";
    return ::access(path->path.c_str(), R_OK | W_OK) == 0 ? "; you may open it" : "; you may not open it";
}

bool progressTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void rawStandardOutput() {}

std::vector<std::pair<std::string, std::string>> systemHelp() {
    return {
        {"VT_PORTS_HELP", R"(                    whether you may open it; then the serial devices present, with their
                    stable /dev/serial/by-id names (as the window's Ports dialog))"},
        {"VT_PORT_HELP", R"(  --port P          comN (the alias $XDG_CONFIG_HOME/vtconfig/ports/comN, or /dev/ttyS<N-1>)
                    or a device path; default com1. Given several times, the command runs on
                    every port at once and prints a line per port: port, result, time (the
                    same device twice, as com1 and COM1 or an alias and its device, is refused))"},
        {"VT_STOP_HELP", R"(     also after a signal that would end it (SIGINT, SIGTERM, SIGHUP, SIGUSR1, ...; not one
     ignored at its start), once every port is closed and put back as it was)"},
        {"VT_DEVICE_EXAMPLE", "/dev/ttyUSB0"},
        {"VT_LOOP_EXAMPLE",
         R"(  for p in com1 com2 com3; do vtctl --port "$p" write table.h || echo "$p failed"; done)"}};
}

// A signal ignored when the program started stays ignored (nohup, a shell's background job): it
// would not have ended it. One its parent had blocked is let through.
struct StopSignals::Saved {
    std::vector<std::pair<int, struct sigaction>> caught;  // with what each had before
    sigset_t mask{};                                       // the main thread's, before
};

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
    struct sigaction sa {};
    sa.sa_handler = noteStop;
    sigemptyset(&sa.sa_mask);
    sigset_t unblock;
    sigemptyset(&unblock);
    for (int s : endingSignals()) {
        struct sigaction found {};
        if (sigaction(s, nullptr, &found) != 0 || found.sa_handler == SIG_IGN) continue;
        sigaction(s, &sa, nullptr);
        saved_->caught.push_back({s, found});
        sigaddset(&unblock, s);
    }
    pthread_sigmask(SIG_UNBLOCK, &unblock, &saved_->mask);
}

StopSignals::~StopSignals() {
    pthread_sigmask(SIG_SETMASK, &saved_->mask, nullptr);
    for (const auto& [s, found] : saved_->caught) sigaction(s, &found, nullptr);
}

bool StopSignals::caught() const { return gStopSignal != 0; }

}  // namespace vtctl
