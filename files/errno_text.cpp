#include "files/errno_text.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "files/links.h"
#include "text/shown.h"

namespace files {
namespace {

// The runtime's code for an errno, or 0 when it has none.
int ioErrorCode(int e) {
    switch (e) {
        case ENOENT: return 2;
        case ENAMETOOLONG:
        case EINVAL: return 3;
        case EMFILE:
        case ENFILE: return 4;
        case EACCES:
        case EPERM:
        case EROFS: return 5;
        case ENOSPC:
        case EDQUOT: return 101;
        default: return 0;
    }
}

std::string ioErrorMessage(int code) {
    switch (code) {
        case 2: return "ファイルが見つかりません";
        case 3: return "不正なファイル名です";
        case 4: return "オープンしたファイルが多すぎます";
        case 5: return "ファイルへのアクセスが拒否されました";
        case 100: return "ファイルの末尾以降を読み込みました";
        case 101: return "ディスクがいっぱいです";
        case 106: return "入力値が数値ではありません";
        default: return "I/O エラー (" + std::to_string(code) + ")";
    }
}

std::string readLimitMiB() { return std::to_string(kMaxReadBytes >> 20) + " MiB"; }

// "user nobody", or "user 65534" for a number without a name.
std::string userName(uid_t uid) {
    const passwd* p = ::getpwuid(uid);
    return "user " + (p ? text::shown(p->pw_name) : std::to_string(uid));
}

constexpr const char* kNobodyReads = "nobody reads it (a FIFO without a reader, or a device that is not there)";

}  // namespace

// An errno the runtime has no code for is shown by its number, never looked up as a code: EIO
// (5) is no "access denied", ENETUNREACH (101) no full disk. A bare number says nothing to the
// operator, so the system's own text for it follows.
std::string windowErrnoText(int err) {
    if (err == EFBIG) return "the file is larger than " + readLimitMiB() + ", the most that is read";
    if (err == ENXIO) return kNobodyReads;
    const int code = ioErrorCode(err);
    if (code != 0) return ioErrorMessage(code);
    return "I/O エラー (" + std::to_string(err) + "): " + std::strerror(err);
}

std::string englishErrnoText(int err) {
    switch (err) {
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
    const char* text = ::strerrordesc_np(err);
    if (!text) return "error " + std::to_string(err);
    std::string cause = text;
    if (!cause.empty()) cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
    return cause;
}

std::string englishFileProblem(const std::string& path, int err) {
    if (std::string why = ruleRefusal(path, err, Links::FollowTrusted); !why.empty()) return why;
    // The readers refuse what is no regular file (EACCES), a folder refuses to be written (EISDIR).
    struct stat st {};
    if ((err == EACCES || err == EISDIR) && path != "-" && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return std::string("not a file but ") + fileKind(st.st_mode);
    switch (err) {
        case ENOENT: return "no such file";
        case EFBIG: return "too large (more than " + readLimitMiB() + ")";
        case ENXIO: return kNobodyReads;
        default: break;
    }
    return englishErrnoText(err);
}

std::string refusedText(const Walked& walked) {
    const std::string at = text::shown(walked.refusedAt);
    if (S_ISLNK(walked.look.st_mode))
        return at + " is a link made by " + userName(walked.look.st_uid) + ", which is not followed";
    if (!trustedOwner(walked.look)) return "the folder " + at + " belongs to " + userName(walked.look.st_uid);
    return "others may write to the folder " + at;
}

std::string ruleRefusal(const std::string& path, int err, Links last) {
    if (err != EACCES || path == "-") return {};
    const Walked walked = walkPath(path, last);
    if (!walked.refusedAt.empty()) {
        // The name's own link, or one of a folder on its way.
        const Walked own = walkPath(path, Links::Replace);
        if (own.error == 0 && own.path == walked.refusedAt) return "a link made by another user, which is not followed";
        return "on its way, " + refusedText(walked);
    }
    if (sharedFileOfAnother(walked))
        return "a file of " + userName(walked.look.st_uid) + " in a folder others may write to, which is not replaced";
    return {};
}

std::string windowFileProblem(const std::string& path, int err, Links last) {
    const std::string why = ruleRefusal(path, err, last);
    return windowErrnoText(err) + (why.empty() ? "" : ": " + text::shown(path) + ": " + why);
}

const char* fileKind(mode_t mode) {
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISLNK(mode)) return "a link";
    return "a socket";
}

}  // namespace files
