#include "files/io_error.h"

#include <cerrno>
#include <cstring>

#include "files/file_read.h"

namespace files {
namespace {

// The table's code for an errno, or 0 when the table has no entry for it.
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

}  // namespace

// An errno the table does not name is shown by its number, never looked up as a code: EIO (5)
// is no "access denied", ENETUNREACH (101) no full disk. A bare number says nothing to the
// operator, so the system's own text for it follows.
std::string ioErrorMessageForErrno(int errnoValue) {
    if (errnoValue == EFBIG)
        return "the file is larger than " + std::to_string(kMaxReadBytes >> 20) + " MiB, the most that is read";
    if (errnoValue == ENXIO) return "nobody reads it (a FIFO without a reader, or a device that is not there)";
    const int code = ioErrorCode(errnoValue);
    if (code != 0) return ioErrorMessage(code);
    return "I/O エラー (" + std::to_string(errnoValue) + "): " + std::strerror(errnoValue);
}

}  // namespace files
