#pragma once
// Path texts: the current directory, and a path's directory part and joined names.
#include <string>
#include <string_view>

namespace files {

// The process's current directory, without a trailing separator unless it is "/".
std::string currentDirectory();

// dir + "/" + name, with no doubled separator when dir already ends in one.
std::string joinPath(const std::string& dir, std::string_view name);

// Where the program keeps state between runs: $XDG_STATE_HOME when it is an absolute path,
// else ~/.local/state.
std::string stateHome();

// Makes dir and each missing folder above it, each new one private to the user (0700); folders
// already there stay as they are. Returns 0 or the errno of the step that failed.
int makePrivateDirectories(const std::string& dir);

// The directory part of path: "." for a bare name, "/" for an entry of the root.
std::string parentOf(const std::string& path);

}  // namespace files
