#pragma once
// The calls that make a replaced file durable and put it in place, behind one seam: the program
// uses the system's; a test installs its own to see their order or to make one of them fail,
// which no file on a real disk shows.
#include <string>

namespace files {

class FileOps {
public:
    virtual ~FileOps() = default;
    // Each returns 0 or the errno.
    virtual int fsync(int fd);
    virtual int close(int fd);
    // Renames from to to, both names in folder (a descriptor of it).
    virtual int rename(int folder, const std::string& from, const std::string& to);
    // Makes a rename in folder durable. Some file systems cannot sync a directory; that is no
    // failure, the new content is in place by then.
    virtual void syncDirectory(int folder);
};

// The operations in force: the system's until others are installed.
FileOps& fileOps();
// Installs ops (not owned; nullptr: the system's again) and returns those in force before.
// Installed by the thread that replaces files, while none is being replaced.
FileOps* setFileOps(FileOps* ops);

}  // namespace files
