#pragma once
// Replacing a file whole: the new bytes go to a temporary file beside the target, which is
// renamed over it only once everything is written and flushed. A failure at any point leaves
// the target as it was (or absent) and no temporary file behind, and so does a signal meant to
// stop the program that reaches the replacing thread (it takes effect once the file is in place). The folders on the
// way are walked under the trusted-link rule (links.h).
#include <functional>
#include <string>
#include <string_view>

#include "files/links.h"

namespace files {

// Writes the new content of path: write(fd) puts it into the open temporary file and returns
// 0 or an errno. Returns 0 on success, else the errno of the step that failed. What may be
// replaced is a regular file or nothing: anything else under the name (a device, a FIFO, a
// directory, a link that is not followed) gives EACCES and is left alone. A target without any
// write permission bit counts as read-only (EACCES), as it would for an ordinary open for
// writing, even for root. A replaced file keeps its owner and group where this process may give
// them, and its permission bits without set-user-ID and set-group-ID. Another user's file in a
// folder others may write to is not replaced (EACCES, sharedFileOfAnother).
int replaceFile(const std::string& path, const std::function<int(int fd)>& write, Links links);

// The same for the entry a walk found (walkPath), in the folder the walk kept: whatever the names
// on the way hold by now, the file is replaced there.
int replaceFound(const Walked& walked, const std::function<int(int fd)>& write);

// The same with the bytes given.
int replaceFile(const std::string& path, std::string_view bytes, Links links);

// 0 when replaceFile could replace path now (the same checks, the directory writable), else the
// errno it would fail with; touches nothing.
int checkReplaceable(const std::string& path, Links links);

// Whether the entry a walk found is a regular file of another user (neither this one nor the
// folder's owner) in a folder others may write to, such as a sticky shared folder: replaced, it
// would stay theirs, to change before it is used, so it is refused, as the kernel's
// protected_regular refuses to open it for creating.
bool sharedFileOfAnother(const Walked& walked);

// Writes all of bytes to fd. Returns 0 or the errno.
int writeAll(int fd, std::string_view bytes);

}  // namespace files
