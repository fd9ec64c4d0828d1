#pragma once
// Symbolic links on the way to a file. A link somebody else planted may lead anywhere (another
// user's file, a device), so a link is followed only when it belongs to the running user or to
// root: whoever owns the folder it sits in, a link another user made there is never trusted
// (in a shared folder, their own folder is theirs to fill with links). The rule is applied in
// every folder of a path, not only to its last name.
//
// A path is walked one name at a time from a descriptor of the folder before it (openat with
// O_NOFOLLOW), links followed by hand. What the walk looked at is what is opened afterwards
// through the descriptors it kept, so a name that another user swaps meanwhile (a FIFO for a
// link, a folder for a link) can change only which of the two is met, never let an untrusted
// link be followed.
#include <sys/stat.h>

#include <functional>
#include <string>

namespace files {

// How a symbolic link found under the file's own name (the path's last) is treated.
enum class Links {
    Replace,        // a write replaces the link itself; nothing is written through it
    FollowTrusted,  // followed, link by link, while every link passes the rule above
};

// The most links one walk follows, as the kernel's own walk: one more gives ELOOP.
inline constexpr int kMaxLinks = 40;

// An open descriptor, closed when the object goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Where a walk ended.
struct Walked {
    // 0; ENOENT when nothing is there (missing tells whether only the last name is); EACCES for
    // a link that fails the rule; ELOOP for too many links; ENOTDIR for a name after one of the
    // walk's stops (stopAt) or after anything but a folder; else the errno of the step that failed.
    int error = 0;
    bool missing = false;  // only the last name is absent: folder and name say where it would be
    bool stopped = false;  // stopAt held at path; nothing there was looked at
    Fd folder;             // the folder holding the entry (O_PATH)
    std::string name;      // the entry's name in folder
    std::string path;      // absolute, without ".", ".." or any link
    Fd entry;              // the entry itself (O_PATH, a link not followed), when found
    struct stat look {};   // what entry was when it was found
    // What a refusal is about, when it is no fault of the name asked for itself: the link that
    // was not followed (EACCES), the folder that is not the user's alone (EPERM, checkOwnFolder),
    // with look saying what it was.
    std::string refusedAt;
};

// Walks path (relative to the current directory unless absolute). last says what a link under
// the last name is: with Replace it is the entry. stopAt is asked about each path reached
// before it is looked at; where it holds, the walk ends there (stopped), and a name after it
// is ENOTDIR, as the kernel says of a name after a terminal or a pipe.
Walked walkPath(const std::string& path, Links last, const std::function<bool(const std::string& path)>& stopAt = {});

// The same from a folder that a walk found (its entry), whatever its path holds by now: a
// relative path is walked from that folder; where that walk found none, its error.
Walked walkFrom(const Walked& folder, const std::string& path, Links last);

// Opens the entry a walk found for I/O (flags as for open; O_NOFOLLOW, O_NOCTTY and O_CLOEXEC
// are added) as the very file that was looked at, never again by its name. Returns the
// descriptor, or -1 with error set: EAGAIN when the name holds something else by now.
Fd openFound(const Walked& walked, int flags, int& error);

// Whether a link that st describes is followed, by its owner: the running user's or root's.
bool trustedOwner(const struct stat& st);

}  // namespace files
