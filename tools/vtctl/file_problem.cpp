#include "tools/vtctl/file_problem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_read.h"
#include "serial/alias_link.h"
#include "serial/commapi.h"

namespace vtctl {

std::string fileProblem(const std::string& path, int error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return std::string("not a file but ") + commapi::fileKind(st.st_mode);
    switch (error) {
        case ENOENT: return "no such file";
        case EFBIG: return "too large (more than " + std::to_string(files::kMaxReadBytes >> 20) + " MiB)";
        case EACCES: {
            // The reader follows only links of this user's or of the folder's owner.
            struct stat link {};
            if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && ::access(path.c_str(), R_OK) == 0)
                return "a link made by another user, which is not followed";
            return "permission denied";
        }
        default: break;
    }
    return commapi::errorCause(error);
}

}  // namespace vtctl
