#pragma once
// An errno in words, decided in one place, in two renderings: the window's runtime texts, as its
// error box shows them, and English for the command-line tools and the reasons of the status
// log, whatever the locale. No Qt.
#include <sys/types.h>

#include <string>

namespace files {

// The window's: the message of the runtime's I/O error code that an errno stands for, UTF-8
// ("ディスクがいっぱいです", ...). The codes: EACCES/EPERM/EROFS 5, ENOENT 2, ENAMETOOLONG/EINVAL
// 3, EMFILE/ENFILE 4, ENOSPC/EDQUOT 101. EFBIG is a file beyond what the program reads
// (kMaxReadBytes), named so, and ENXIO an output nobody takes (a FIFO without a reader).
// Any other errno: "I/O エラー (N): " and the system's text for it.
std::string windowErrnoText(int err);

// English, in a few words: "permission denied", "a loop of links", "no such device" ...
std::string englishErrnoText(int err);

// English, for a file that a command line names and that could not be read (readFile,
// readNamedInput) or written (writeNamedOutput): what lies there instead of a file ("not a file
// but a folder"), "no such file", "too large (more than 64 MiB)", "a link made by another user,
// which is not followed", or englishErrnoText.
std::string englishFileProblem(const std::string& path, int err);

// "a regular file", "a folder", "a device", "a FIFO", "a socket", "a link" for a file's mode.
const char* fileKind(mode_t mode);

}  // namespace files
