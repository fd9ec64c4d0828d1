#include "ui/files/io_error.h"

#include <cerrno>

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
    case ENOSPC:
    case EDQUOT: return 101;
    default: return e;
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

std::string ioErrorMessageForErrno(int errnoValue) { return ioErrorMessage(ioErrorCode(errnoValue)); }

}  // namespace files
