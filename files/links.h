#pragma once
// Symbolic links under a file's name. A link somebody else planted may lead anywhere (another
// user's file, a device), so a link is followed only where the kernel's protected-links rule
// would follow it in a shared directory: it belongs to the running user or to the owner of the
// directory it sits in. The rule is applied in every directory.
#include <functional>
#include <string>

namespace files {

// How a symbolic link found under the file's name is treated.
enum class Links {
    Replace,        // a write replaces the link itself; nothing is written through it
    FollowTrusted,  // followed, link by link, while every link passes the rule above
};

// Where a path leads under Links::FollowTrusted.
struct Resolved {
    int error = 0;     // 0; ENOENT when nothing is there (target is where it would be created);
                       // EACCES for a link that fails the rule; ELOOP for too many links
    std::string path;  // the entry reached: never a link when error is 0
};

// stopAt: a test on each name reached; where it holds the walk ends there (error 0), link or not.
Resolved followTrustedLinks(const std::string& path, const std::function<bool(const std::string&)>& stopAt = {});

}  // namespace files
