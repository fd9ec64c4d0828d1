// Why a port did not open, in the words of the Linux back end where the reason is the same.
#include <cerrno>

#include "files/errno_text.h"
#include "serial/commapi.h"
#include "serial/portname.h"

namespace commapi {

std::string openFailureReason(const std::string& port, int error) {
    if (error == 0) return {};
    if (port.empty()) return "No port is selected";
    const auto path = resolvePortName(port, {});
    if (!path) return "Cannot open " + port + ": not a port name (COM1 ... COM256, or \\\\.\\NAME)";
    std::string why;
    switch (error) {
        case ENOENT: why = "no such device"; break;
        case EBUSY: why = "in use by another program"; break;
        case ENOTTY: why = "not a serial device"; break;
        case EINVAL: why = "the device does not take the port's settings"; break;
        default: why = files::englishErrnoText(error); break;
    }
    return "Cannot open " + port + " (" + path->path + "): " + why;
}

}  // namespace commapi
