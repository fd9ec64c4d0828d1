// What vtctl asks of Windows.
#include "tools/vtctl/system.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <thread>

#include "serial/portname.h"

namespace vtctl {
namespace {

std::atomic<bool> gStopAsked{false};
std::atomic<bool> gJobsOver{false};

// When the console closes (or the user logs off) the system ends the program as this returns:
// it gives the jobs a few seconds to put their ports back first.
constexpr auto kCloseGrace = std::chrono::seconds(4);

BOOL WINAPI noteStop(DWORD event) {
    gStopAsked = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        const auto end = std::chrono::steady_clock::now() + kCloseGrace;
        while (!gJobsOver && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return TRUE;
}

}  // namespace

// Windows names a port one way only once the case is set aside: \\.\COM3 whichever way it was asked.
std::string deviceKey(const std::string& port, const std::string& configHome) {
    const auto path = commapi::resolvePortName(port, configHome);
    if (!path) return "name " + port;
    std::string key = path->path;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "path " + key;
}

// Windows tells whether a port may be opened only by opening it.
std::string accessNote(const commapi::ComPortTarget&, const commapi::CatalogRoots&) { return ""; }

// The progress line rewrites itself with a terminal's control sequences, which a console takes
// once asked to.
bool progressTerminal() {
    HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (err == INVALID_HANDLE_VALUE || !::GetConsoleMode(err, &mode)) return false;
    return ::SetConsoleMode(err, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void rawStandardOutput() {
    std::fflush(stdout);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

struct StopSignals::Saved {};

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
    gJobsOver = false;
    ::SetConsoleCtrlHandler(noteStop, TRUE);
}

StopSignals::~StopSignals() {
    gJobsOver = true;
    ::SetConsoleCtrlHandler(noteStop, FALSE);
}

bool StopSignals::caught() const { return gStopAsked; }

}  // namespace vtctl
