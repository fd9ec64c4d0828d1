#include "serial/unit_record.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "files/errno_text.h"
#include "serial/posix/proc_locks.h"

namespace commapi {
namespace {

constexpr std::size_t kMostRecordBytes = 4096 + 128;  // a path and a few short lines

// What a record says: the alias's target and which link the alias is, which a link the user
// makes later is not, even to the same terminal number.
struct Record {
    std::string pid;  // of the unit that wrote it
    std::string terminal;
    std::string link;
};

// The value of "key value" lines of text; "" when there is none.
std::string field(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key + " ");
    if (at == std::string::npos) return {};
    const std::size_t from = at + key.size() + 2;
    const std::size_t end = text.find('\n', from);
    return end == std::string::npos ? std::string() : text.substr(from, end - from);
}

Record readRecord(int fd) {
    char buf[kMostRecordBytes];
    std::size_t have = 0;
    for (ssize_t n; have < sizeof buf && (n = ::read(fd, buf + have, sizeof buf - have)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {};
        have += static_cast<std::size_t>(n);
    }
    const std::string text(buf, have);
    return {field(text, "pid"), field(text, "terminal"), field(text, "link")};
}

// Which link: its inode, and when it was made (an inode number is soon given to the next file).
std::string linkIdentity(const struct stat& st) {
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + " " + std::to_string(st.st_ctim.tv_sec) + "." +
           std::to_string(st.st_ctim.tv_nsec);
}

std::string linkText(const std::string& path) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    return n > 0 && static_cast<std::size_t>(n) < sizeof buf ? std::string(buf, static_cast<std::size_t>(n)) : "";
}

bool heldByItsUnit(int fd, const struct stat& st, const Record& record) {
    const std::string locks = procLocks();
    if (locks.empty()) return ::flock(fd, LOCK_SH | LOCK_NB) != 0;  // no /proc: any lock at all
    char* end = nullptr;
    const long pid = std::strtol(record.pid.c_str(), &end, 10);
    return pid > 0 && *end == '\0' && holdsLock(locks, st.st_dev, st.st_ino, static_cast<pid_t>(pid));
}

std::string sysError(const std::string& what) {
    const int err = errno;  // before the text's allocations
    return what + ": " + files::englishErrnoText(err);
}

}  // namespace

std::string unitRecordPath(const std::string& alias) { return alias + ".unit"; }

std::string endedUnitText(const std::string& port) {
    std::string name = port;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "the simulated unit on " + name + " is no longer running";
}

AliasMaker aliasMaker(const std::string& alias) {
    const std::string target = linkText(alias);
    struct stat link {};
    if (target.empty() || ::lstat(alias.c_str(), &link) != 0) return AliasMaker::Other;
    // Only a regular file is opened: a device node under the record's name could act on an open.
    const std::string path = unitRecordPath(alias);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return AliasMaker::Other;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return AliasMaker::Other;
    AliasMaker maker = AliasMaker::Other;
    const Record record = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? readRecord(fd) : Record{};
    // A record without the link is one whose unit was about to make its alias.
    if (record.terminal == target && (record.link.empty() || record.link == linkIdentity(link))) {
        // A running unit holds the lock from before the record had its name. Only its own lock
        // counts: anybody else who came to hold one would keep a dead unit's alias alive.
        maker = heldByItsUnit(fd, st, record) ? AliasMaker::RunningUnit : AliasMaker::EndedUnit;
    }
    ::close(fd);
    return maker;
}

std::string UnitRecord::publish(const std::string& alias, const std::string& terminal) {
    const std::string path = unitRecordPath(alias);
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    ::unlink(temp.c_str());
    // Nobody else may open it: a lock needs no more than a read-only descriptor.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return sysError("cannot make " + temp);
    const std::string text = "vtunit\npid " + std::to_string(::getpid()) + "\nterminal " + terminal + "\n";
    const bool written = ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                         ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string error = sysError("cannot write " + path);
        ::unlink(temp.c_str());
        ::close(fd);
        return error;
    }
    fd_ = fd;
    path_ = path;
    return {};
}

std::string UnitRecord::noteLink(const std::string& alias) {
    struct stat link {};
    if (::lstat(alias.c_str(), &link) != 0) return sysError("cannot look at " + alias);
    // One write at the end: a reader sees the line whole or not at all.
    const std::string line = "link " + linkIdentity(link) + "\n";
    if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        return sysError("cannot write " + path_);
    return {};
}

UnitRecord::~UnitRecord() {
    if (fd_ < 0) return;
    struct stat mine {
    }, named{};
    if (::fstat(fd_, &mine) == 0 && ::lstat(path_.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
        mine.st_ino == named.st_ino)
        ::unlink(path_.c_str());
    ::close(fd_);
}

}  // namespace commapi
