// An errno in words on Windows: the same texts as on Linux (no EDQUOT here, no links that are
// refused), the C runtime's own text for the rest.
#include "files/errno_text.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "files/file_read.h"
#include "files/win32/system_error.h"

namespace files {
namespace {

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
        case ENOSPC: return 101;
        default: return 0;
    }
}

std::string ioErrorMessage(int code) {
    switch (code) {
        case 2: return "ファイルが見つかりません";
        case 3: return "不正なファイル名です";
        case 4: return "オープンしたファイルが多すぎます";
        case 5: return "ファイルへのアクセスが拒否されました";
        case 101: return "ディスクがいっぱいです";
        default: return "I/O エラー (" + std::to_string(code) + ")";
    }
}

std::string readLimitMiB() { return std::to_string(kMaxReadBytes >> 20) + " MiB"; }

constexpr const char* kNobodyReads = "nobody reads it (a pipe without a reader, or a device that is not there)";

}  // namespace

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
        case ENOSPC: return "no space left on the device";
        case EROFS: return "a read-only file system";
        case EIO: return "an input/output error";
        case EFBIG: return "over the file size limit";
        case EPIPE: return "the reading end has closed";
        case ENXIO:
        case ENODEV: return "no such device";
        default: break;
    }
    std::string cause = std::strerror(err);
    if (!cause.empty()) cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
    return cause;
}

std::string englishFileProblem(const std::string& path, int err) {
    if ((err == EACCES || err == EISDIR) && path != "-") {
        const win32::Found f = win32::look(path);
        if (f.error == 0 && (f.device || f.folder))
            return std::string("not a file but ") + fileKind(f.device ? S_IFCHR : S_IFDIR);
    }
    switch (err) {
        case ENOENT: return "no such file";
        case EFBIG: return "too large (more than " + readLimitMiB() + ")";
        case ENXIO: return kNobodyReads;
        default: break;
    }
    return englishErrnoText(err);
}

// The system follows links itself and folders are private by their ACLs: nothing is refused by
// rules of the program's own.
std::string refusedText(const Walked& walked) { return walked.refusedAt; }

std::string ruleRefusal(const std::string&, int, Links) { return {}; }

std::string windowFileProblem(const std::string&, int err, Links) { return windowErrnoText(err); }

const char* fileKind(mode_t mode) {
    switch (mode & S_IFMT) {
        case S_IFREG: return "a regular file";
        case S_IFDIR: return "a folder";
        case S_IFCHR: return "a device";
        case S_IFIFO: return "a pipe";
        default: return "something else";
    }
}

}  // namespace files
