// The causes of system errors as the operator reads them, one text per errno, in one place.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "serial/commapi.h"

namespace commapi {

std::string errorCause(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "permission denied";
        case ENOENT: return "no such file or folder";
        case ENOTDIR: return "a part of the path is not a folder";
        case EISDIR: return "a folder";
        case ELOOP: return "a loop of links";
        case ENAMETOOLONG: return "the name is too long";
        case ENOSPC:
        case EDQUOT: return "no space left on the device";
        case EROFS: return "a read-only file system";
        case EIO: return "an input/output error";
        case EFBIG: return "over the file size limit";
        case EPIPE: return "the reading end has closed";
        case ENXIO:
        case ENODEV: return "no such device";
        default: break;
    }
    const char* text = ::strerrordesc_np(error);
    if (!text) return "error " + std::to_string(error);
    std::string cause = text;
    if (!cause.empty()) cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
    return cause;
}

}  // namespace commapi
