#pragma once
// Replacing a file whole: the new bytes go to a temporary file beside the target, which is
// renamed over it only once everything is written and flushed. A failure at any point leaves
// the target as it was (or absent) and no temporary file behind.
#include <string>
#include <string_view>

namespace files {

// Writes bytes as the new content of path. Returns 0 on success, else the errno of the step
// that failed. A target without any write permission bit counts as read-only (EACCES), as
// it would for an ordinary open for writing, even for root.
int replaceFile(const std::string& path, std::string_view bytes);

// Reads the whole file into out. Returns 0, or the errno of the failure (ENOENT when absent).
int readFile(const std::string& path, std::string& out);

// The process's current directory, without a trailing separator unless it is "/".
std::string currentDirectory();

// dir + "/" + name, with no doubled separator when dir already ends in one.
std::string joinPath(const std::string& dir, std::string_view name);

}  // namespace files
