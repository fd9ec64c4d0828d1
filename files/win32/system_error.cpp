#include "files/win32/system_error.h"

#include <windows.h>

#include <cerrno>
#include <vector>

namespace files::win32 {

int lastErrno() {
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
        case ERROR_WRITE_PROTECT: return EROFS;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_DIRECTORY: return ENOTDIR;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW: return ENAMETOOLONG;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER: return EINVAL;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA: return EPIPE;
        case ERROR_PIPE_BUSY: return ENXIO;
        default: return EIO;
    }
}

Found look(const std::string& name) {
    Found f;
    if (name.empty()) {
        f.error = ENOENT;
        return f;
    }
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetFullPathNameA(name.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
        if (n == 0) {
            f.error = lastErrno();
            return f;
        }
        if (n < buf.size()) break;
        buf.resize(n + 1);
    }
    f.path = buf.data();
    // The system turns a device name in any folder ("C:\x\NUL", "com1") into \\.\NAME.
    if (f.path.rfind("\\\\.\\", 0) == 0) {
        f.device = true;
        return f;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(f.path.c_str(), GetFileExInfoStandard, &data)) {
        f.error = lastErrno();
        return f;
    }
    f.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    f.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    f.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    f.written = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
    return f;
}

}  // namespace files::win32
