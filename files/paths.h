#pragma once
// Path texts: the current directory, and a path's directory part and joined names.
#include <string>
#include <string_view>

#include "files/links.h"

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

// Walks top and then, one name at a time from it, below (relative; "" for top alone), and checks
// each folder it reaches: the user's or root's, and writable by nobody else, so that what the
// program finds there is nobody else's choice, and no name on the way can be exchanged by
// another user. The walk of the last folder, to find what is in it relative to its descriptor
// (walkFrom); its error is ENOENT, ENOTDIR, EACCES (a link that is not followed) or EPERM (a
// folder of another owner, or writable by others: refusedAt names it, look says what it is).
Walked walkOwnFolders(const std::string& top, const std::string& below = "");

// Makes dir and each missing folder above it, each new one private to the user (0700); folders
// already there stay as they are. Returns 0 or the errno of the step that failed.
int makePrivateDirectories(const std::string& dir);

// The directory part of path: "." for a bare name, "/" for an entry of the root.
std::string parentOf(const std::string& path);

}  // namespace files
