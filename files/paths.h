#pragma once
// Path texts: the current directory, and a path's directory part and joined names.
#include <string>
#include <string_view>

namespace files {

// The process's current directory, without a trailing separator unless it is "/".
std::string currentDirectory();

// dir + "/" + name, with no doubled separator when dir already ends in one.
std::string joinPath(const std::string& dir, std::string_view name);

// A base folder by the XDG rule, the one rule of every home the programs use: $variable when it
// is an absolute path (a relative one is ignored, as the rule asks); else $HOME/belowHome when
// HOME is an absolute path; "" when neither names a place, and the caller refuses to keep or
// look for anything there rather than guess one.
std::string xdgHome(const char* variable, std::string_view belowHome);

// Where the programs keep state between runs: $XDG_STATE_HOME, or ~/.local/state.
std::string stateHome();
// Where the programs keep their configuration (the port aliases): $XDG_CONFIG_HOME, or ~/.config.
std::string configHome();

// 0 when dir is a folder of the running user's that nobody else may write to (reached through
// no link but a trusted one), so that what the program finds in it is its own; else ENOENT,
// ENOTDIR, EACCES (a link that is not followed) or EPERM (another owner, or writable by others).
int checkPrivateFolder(const std::string& dir);

// Makes dir and each missing folder above it, each new one private to the user (0700); folders
// already there stay as they are. Returns 0 or the errno of the step that failed.
int makePrivateDirectories(const std::string& dir);

// The directory part of path: "." for a bare name, "/" for an entry of the root.
std::string parentOf(const std::string& path);

}  // namespace files
