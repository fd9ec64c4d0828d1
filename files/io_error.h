#pragma once
// The runtime's I/O error codes and texts, decided from errno in one place.
#include <string>

namespace files {

// The message of the I/O error code that an errno stands for, UTF-8 ("ディスクがいっぱいです",
// "I/O エラー (28)", ...). The codes: EACCES/EPERM/EROFS 5, ENOENT 2, ENAMETOOLONG/EINVAL 3,
// EMFILE/ENFILE 4, ENOSPC/EDQUOT 101; any other errno is its own code.
std::string ioErrorMessageForErrno(int errnoValue);

}  // namespace files
