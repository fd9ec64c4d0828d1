#pragma once
// The runtime's I/O error codes and texts, decided from errno in one place.
#include <string>

namespace files {

// The message of the I/O error code that an errno stands for, UTF-8 ("ディスクがいっぱいです",
// ...). The codes: EACCES/EPERM/EROFS 5, ENOENT 2, ENAMETOOLONG/EINVAL 3, EMFILE/ENFILE 4,
// ENOSPC/EDQUOT 101. EFBIG is a file beyond what the program reads (kMaxReadBytes), named so,
// and ENXIO an output nobody takes (a FIFO without a reader).
// Any other errno: "I/O エラー (N): " and the system's text for it.
std::string ioErrorMessageForErrno(int errnoValue);

}  // namespace files
