#pragma once
// What the Windows file API says, as the errno the layers above read and word (errno_text.h);
// and what a name is before anything is opened. Free of Qt.
#include <string>

namespace files::win32 {

// The errno for GetLastError's value now (EIO for one without a counterpart).
int lastErrno();

// What a name stands for, found without opening it.
struct Found {
    int error = 0;        // 0, or the errno of looking (ENOENT: nothing there)
    std::string path;     // the whole path (GetFullPathName)
    bool device = false;  // a device name (CON, NUL, COM1, \\.\pipe\x ...), never a file on disk
    bool folder = false;
    unsigned long long size = 0;
    unsigned long long written = 0;  // last write, in 100 ns steps
    bool readOnly = false;
};
Found look(const std::string& name);

}  // namespace files::win32
