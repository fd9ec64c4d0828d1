// Giving a comN a device: its alias becomes a link to the device's stable name. Only an alias
// is ever replaced; whatever else holds the name stays as it is.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "serial/posix/port_catalog.h"
#include "serial/posix/portname.h"
#include "text/vt_error.h"

namespace commapi {
namespace fs = std::filesystem;
namespace {

const char* kindOf(mode_t mode) {
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a FIFO";
    return "a socket";
}

// The link made beside the alias under a name of its own, then renamed over it, so that comN
// never points nowhere in between.
void replaceLink(const std::string& alias, const std::string& target) {
    const std::string folder = fs::path(alias).parent_path().string();
    const std::string name = fs::path(alias).filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            folder + "/." + name + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (::symlink(target.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST) continue;
            throw text::VtError(alias + ": cannot make the link: " + std::strerror(errno));
        }
        if (::rename(temp.c_str(), alias.c_str()) != 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            throw text::VtError(alias + ": cannot replace the alias: " + std::strerror(error));
        }
        return;
    }
    throw text::VtError(alias + ": cannot make the link: no free temporary name");
}

}  // namespace

ComPortTarget assignComPort(const std::string& port, const SerialDevice& device, const CatalogRoots& roots) {
    const auto alias = portAliasPath(port, roots.configHome);
    if (!alias || port.find('/') != std::string::npos) throw text::VtError("'" + port + "' is not a port name comN");
    std::error_code ec;
    fs::create_directories(portAliasFolder(roots.configHome), ec);
    if (ec) throw text::VtError(portAliasFolder(roots.configHome) + ": cannot make the folder: " + ec.message());
    struct stat st {};
    if (::lstat(alias->c_str(), &st) == 0 && !S_ISLNK(st.st_mode))
        throw text::VtError(*alias + " is " + kindOf(st.st_mode) + ", not an alias; it is left as it is");
    replaceLink(*alias, device.aliasTarget());
    return describeComPort(port, roots);
}

}  // namespace commapi
