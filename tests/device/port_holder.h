#pragma once
// Another program holding a port: a child process that opens it, takes flock and TIOCEXCL, and
// lets go again when told (the exclusive mode belongs to the terminal, not to a descriptor, so a
// holder that merely died would leave it set for every later open).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vttest {

class PortHolder {
public:
    explicit PortHolder(const std::string& path) {
        int ready[2], done[2];
        if (::pipe(ready) != 0 || ::pipe(done) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(done[1]);
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
            const char c = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ioctl(fd, TIOCEXCL) == 0 ? 'y' : 'n';
            if (::write(ready[1], &c, 1) != 1) ::_exit(1);
            char end;
            while (::read(done[0], &end, 1) > 0) {
            }
            ::ioctl(fd, TIOCNXCL);
            ::_exit(0);
        }
        ::close(done[0]);
        release_ = done[1];
        char c = 0;
        held_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~PortHolder() { letGo(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    bool held() const { return held_; }
    void letGo() {
        if (release_ >= 0) ::close(release_);
        release_ = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

}  // namespace vttest
