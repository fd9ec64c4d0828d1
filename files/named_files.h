#pragma once
// Files that a command line names (vtplan --header and --channels, vtunit --memory-file and
// --slave-file). Unlike a name the program picks itself, the user chose it and may mean a stream:
// "-" is standard input or output, and a name that leads to one of this process's open
// descriptors (/dev/stdout, /dev/fd/3, /proc/self/fd/1, a link to one of them) is that
// descriptor, written or read where it stands.
#include <string>
#include <string_view>

namespace files {

// Writes bytes to the output a command line names:
// - "-" or one of this process's descriptors, however the name is spelt (/dev/./fd/1): into it;
//   a name after one (/dev/fd/1/../x.h, /dev/stdout/x.h) is ENOTDIR, as the kernel says;
// - an existing terminal, FIFO or other character device, or a link to one: opened and written
//   into as a stream, never replaced; a FIFO that nobody reads gives ENXIO at once (a reader
//   that is there is waited for as it reads, as with a shell's redirection);
// - a regular file, or nothing yet: replaced whole by replaceFile, owner and mode kept;
// - a link anywhere on the way is followed only under the trusted-link rule
//   (Links::FollowTrusted), else EACCES; a directory gives EISDIR, a block device EACCES, and
//   so does another user's file in a folder others may write to (sharedFileOfAnother);
// - what is written into is what was looked at, whoever swaps the names meanwhile;
// - nothing is ever created or replaced inside devices, the folder of the device nodes (EACCES).
// Returns 0 or the errno. Output buffered by stdio is the caller's to flush first.
// With Waiting::Never a stream that cannot take all of bytes at once (a reader that does not keep
// up) gives EAGAIN instead of waiting for it, and nothing is written into it when it cannot take
// any.
enum class Waiting { ForReader, Never };
int writeNamedOutput(const std::string& name, std::string_view bytes, const std::string& devices = "/dev",
                     Waiting waiting = Waiting::ForReader);

// Reads the input a command line names whole into out, at most kMaxReadBytes (else EFBIG):
// "-" or one of this process's descriptors is read to its end; any other name as readFile
// reads it (a regular file only). Returns 0 or the errno.
int readNamedInput(const std::string& name, std::string& out);

}  // namespace files
