#include "tools/vtctl/same_device.h"

#include <sys/stat.h>

#include "serial/portname.h"
#include "text/shown.h"

namespace vtctl {
namespace {

// What a port opens, as comparable text: the device number of a device, the inode of any
// other file, else the path it would open.
std::string deviceKey(const std::string& port, const std::string& configHome) {
    const auto path = commapi::resolvePortName(port, configHome);
    if (!path) return "name " + port;
    struct stat st {};
    if (path->refused || ::stat(path->path.c_str(), &st) != 0) return "path " + path->path;
    if (S_ISCHR(st.st_mode)) return "device " + std::to_string(st.st_rdev);
    return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

}  // namespace

std::string samePortTwice(const std::vector<std::string>& ports, const std::string& configHome) {
    std::vector<std::string> keys;
    for (const std::string& port : ports) keys.push_back(deviceKey(port, configHome));
    for (std::size_t i = 0; i < ports.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (keys[i] == keys[j])
                return "--port " + text::shown(ports[j]) + " and --port " + text::shown(ports[i]) + " name the same device";
    return {};
}

}  // namespace vtctl
