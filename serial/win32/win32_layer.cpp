// The Windows back end's layer: createFile opens \\.\COMn exclusively and overlapped, and keeps
// the port only when it is a serial device (GetCommState answers).
#include <windows.h>

#include <cerrno>

#include "serial/portname.h"
#include "serial/win32/last_error.h"
#include "serial/win32/win32_port.h"

namespace commapi {
namespace win32 {

CommError openError(unsigned long code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_UNIT:
        case ERROR_BAD_NETPATH: return {CommCode::kSystem, ENOENT};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY: return {CommCode::kRefused, EBUSY};
        case ERROR_INVALID_NAME: return {CommCode::kRefused, ENOENT};
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED: return {CommCode::kRefused, ENOTTY};
        default: return {CommCode::kSystem, EIO};
    }
}

CommError portError(unsigned long code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:  // an unplugged USB adapter's handle
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED: return {CommCode::kSystem, ENODEV};
        case ERROR_INVALID_HANDLE: return {CommCode::kClosed, EBADF};
        case ERROR_INVALID_PARAMETER: return {CommCode::kRefused, EINVAL};
        default: return {CommCode::kSystem, EIO};
    }
}

namespace {

class Win32Layer final : public CommLayer {
public:
    std::unique_ptr<CommPort> createFile(const std::string& name) override;
    CommError lastError() const override { return tLastError; }
};

std::unique_ptr<CommPort> Win32Layer::createFile(const std::string& name) {
    const auto path = resolvePortName(name, {});
    if (!path) {
        failed(CommCode::kRefused, ENOENT);
        return nullptr;
    }
    const HANDLE h = ::CreateFileA(path->path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const CommError e = openError(::GetLastError());
        failed(e.code, e.error);
        return nullptr;
    }
    ::DCB found{};
    found.DCBlength = sizeof found;
    ::COMMTIMEOUTS foundTimeouts{};
    if (!::GetCommState(h, &found) || !::GetCommTimeouts(h, &foundTimeouts)) {
        ::CloseHandle(h);
        failed(CommCode::kRefused, ENOTTY);
        return nullptr;
    }
    auto port = std::make_unique<Win32Port>(h, found, foundTimeouts);
    if (!port->valid()) return nullptr;  // it kept why
    tLastError = {};
    return port;
}

}  // namespace
}  // namespace win32

CommLayer& defaultLayer() {
    static win32::Win32Layer layer;
    return layer;
}

}  // namespace commapi
