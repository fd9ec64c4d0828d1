#pragma once
// An errno in words, decided in one place, in two renderings: the window's runtime texts, as its
// error box shows them, and English for the command-line tools and the reasons of the status
// log, whatever the locale. No Qt.
#include <sys/types.h>

#include <string>

#include "files/links.h"

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
// which is not followed" (the name's own, or one on its way, named), whose file was not replaced
// (sharedFileOfAnother), or englishErrnoText. Names in it are escaped (text::shown).
std::string englishFileProblem(const std::string& path, int err);

// What a walk refused (Walked::refusedAt), in English: "L is a link made by user nobody, which is
// not followed", "the folder F belongs to user nobody", "others may write to the folder F".
std::string refusedText(const Walked& walked);

// Why the rules of links and shared folders refused path (walked with last) when err is theirs:
// "a link made by another user, which is not followed" (the name's own), "on its way, " and
// refusedText (a link of a folder on its way), "a file of user nobody in a folder others may
// write to, which is not replaced"; "" for any other failure.
std::string ruleRefusal(const std::string& path, int err, Links last);

// The window's text for a file it could not read or write: windowErrnoText, and after it, for a
// refusal of the rules of links and shared folders, the name and why in English, as
// englishFileProblem says it; last as the failed call walked the name.
std::string windowFileProblem(const std::string& path, int err, Links last);

// "a regular file", "a folder", "a device", "a FIFO", "a socket", "a link" for a file's mode.
const char* fileKind(mode_t mode);

}  // namespace files
