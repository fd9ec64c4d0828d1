#pragma once
// The runtime's I/O error codes and texts, decided from errno in one place.
#include <string>

namespace files {

// The I/O error code that an errno stands for: EACCES/EPERM/EROFS 5, ENOENT 2,
// ENAMETOOLONG/EINVAL 3, EMFILE/ENFILE 4, ENOSPC/EDQUOT 101; any other errno is its own code.
int ioErrorCode(int errnoValue);

// The message of an I/O error code, UTF-8 ("ディスクがいっぱいです", "I/O エラー (28)", ...).
std::string ioErrorMessage(int code);

// Both steps together.
inline std::string ioErrorMessageForErrno(int errnoValue) { return ioErrorMessage(ioErrorCode(errnoValue)); }

}  // namespace files
