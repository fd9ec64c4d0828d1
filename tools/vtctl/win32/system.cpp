// What vtctl asks of Windows.
#include "tools/vtctl/system.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "serial/portname.h"

namespace vtctl {
namespace {

std::atomic<bool> gStopAsked{false};
std::atomic<bool> gJobsOver{false};

// When the console closes (or the user logs off) the system ends the program as this returns:
// it gives the jobs a few seconds to put their ports back first.
constexpr auto kCloseGrace = std::chrono::seconds(4);

// The console's mode as vtctl found it, put back at exit; owner: the main thread.
DWORD gConsoleMode = 0;

void restoreConsoleMode() { ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), gConsoleMode); }

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
// once asked to (until vtctl ends).
bool progressTerminal() {
    HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (err == INVALID_HANDLE_VALUE || !::GetConsoleMode(err, &mode)) return false;
    if (!::SetConsoleMode(err, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
    gConsoleMode = mode;
    std::atexit(restoreConsoleMode);
    return true;
}

void rawStandardOutput() {
    std::fflush(stdout);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

std::vector<std::pair<std::string, std::string>> systemHelp() {
    return {{"VT_PORTS_HELP",
             R"(                    the device behind it; then the serial ports the system's registry names)"},
            {"VT_PORT_HELP", R"(  --port P          COMN (N 1 ... 256, any case) or a device name such as \\.\CNCA0;
                    default com1. Given several times, the command runs on every port at once
                    and prints a line per port: port, result, time (the same port twice, as
                    com1 and COM1, is refused))"},
            {"VT_STOP_HELP", R"(     also after Ctrl-C, Ctrl-Break or the console closing, once every port is closed and
     put back as it was)"},
            {"VT_DEVICE_EXAMPLE", "COM7"},
            {"VT_LOOP_EXAMPLE", R"(  for %p in (COM1 COM2 COM3) do @vtctl --port %p write table.h || echo %p failed)"}};
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
