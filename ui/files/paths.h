#pragma once
// Path texts: the current directory, and a path's directory part and joined names.
#include <string>
#include <string_view>

namespace files {

// The process's current directory, without a trailing separator unless it is "/".
std::string currentDirectory();

// dir + "/" + name, with no doubled separator when dir already ends in one.
std::string joinPath(const std::string& dir, std::string_view name);

// The directory part of path: "." for a bare name, "/" for an entry of the root.
std::string parentOf(const std::string& path);

}  // namespace files
