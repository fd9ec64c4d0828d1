// Named outputs and inputs on Windows: "-" is the standard stream, written and read as bytes (a
// register header keeps its CR LF, nothing is added); a device name (CON, NUL, COM1, a named
// pipe) is a stream; anything else is a file, replaced whole.
#include "files/named_files.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "files/win32/system_error.h"

namespace files {
namespace {

// Puts fd into binary mode while the object lives, so the bytes pass unchanged.
class BinaryMode {
public:
    explicit BinaryMode(int fd) : fd_(fd), before_(::_setmode(fd, O_BINARY)) {}
    ~BinaryMode() {
        if (before_ != -1) ::_setmode(fd_, before_);
    }
    BinaryMode(const BinaryMode&) = delete;
    BinaryMode& operator=(const BinaryMode&) = delete;

private:
    int fd_;
    int before_;
};

}  // namespace

int writeNamedOutput(const std::string& name, std::string_view bytes, const std::string&, Waiting) {
    if (name == "-") {
        const BinaryMode binary(1);
        return writeAll(1, bytes);
    }
    const win32::Found found = win32::look(name);
    if (found.error == 0 && found.folder) return EISDIR;
    if (found.error == 0 && found.device) {
        const int fd = ::_open(found.path.c_str(), O_WRONLY | O_BINARY | O_NOINHERIT);
        if (fd < 0) return errno == ENOENT ? ENXIO : errno;
        int err = writeAll(fd, bytes);
        if (::_close(fd) != 0 && err == 0) err = errno;
        return err;
    }
    return replaceFile(found.path.empty() ? name : found.path, bytes, Links::FollowTrusted);
}

int readNamedInput(const std::string& name, std::string& out) {
    if (name != "-") return readFile(name, out);
    const BinaryMode binary(0);
    return readToEnd(0, out);
}

}  // namespace files
