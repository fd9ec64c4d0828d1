#include "tools/vtctl/open_failure.h"

#include <cerrno>
#include <cstring>

namespace vtctl {

std::string openFailureText(int err) {
    switch (err) {
        case ENOENT:
        case ENXIO:
        case ENODEV: return "no such device";
        case ENOTTY: return "not a serial device";
        case EBUSY:
        case EWOULDBLOCK: return "in use by another program";
        case EACCES:
        case EPERM: return "permission denied";
        case 0: return "refused";
        default: break;
    }
    return std::strerror(err);
}

}  // namespace vtctl
