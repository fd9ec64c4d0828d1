#include "tools/vtunit/pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "serial/posix/portname.h"

namespace vtunit {
namespace {

std::string sysError(const std::string& what) { return what + ": " + std::strerror(errno); }

bool makeDirectories(const std::string& dir, std::string& error) {
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            error = sysError("cannot create " + partial);
            return false;
        }
    }
    return true;
}

std::string parentOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

bool openPty(Pty& pty, std::string& error) {
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.master < 0) {
        error = sysError("posix_openpt");
        return false;
    }
    char name[128];
    if (::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0 || ::ptsname_r(pty.master, name, sizeof name) != 0) {
        error = sysError("pseudo-terminal set-up");
        closePty(pty);
        return false;
    }
    pty.slavePath = name;
    pty.slaveKeep = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slaveKeep < 0) {
        error = sysError("cannot open " + pty.slavePath);
        closePty(pty);
        return false;
    }
    termios tio{};
    if (::tcgetattr(pty.slaveKeep, &tio) != 0) {
        error = sysError("tcgetattr");
        closePty(pty);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(pty.slaveKeep, TCSANOW, &tio) != 0) {
        error = sysError("tcsetattr");
        closePty(pty);
        return false;
    }
    return true;
}

void closePty(Pty& pty) {
    if (pty.master >= 0) ::close(pty.master);
    if (pty.slaveKeep >= 0) ::close(pty.slaveKeep);
    pty.master = pty.slaveKeep = -1;
}

std::string aliasDirectory() { return commapi::portAliasFolder(commapi::configHome()); }

bool makeAlias(const std::string& alias, const std::string& target, bool force, std::string& error) {
    if (!makeDirectories(parentOf(alias), error)) return false;
    if (::symlink(target.c_str(), alias.c_str()) == 0) return true;
    if (errno != EEXIST) {
        error = sysError("cannot link " + alias);
        return false;
    }
    if (!force) {
        error = "the port alias " + alias + " exists already (--force replaces it)";
        return false;
    }
    const std::string temp = alias + ".vtunit-" + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(target.c_str(), temp.c_str()) != 0) {
        error = sysError("cannot link " + temp);
        return false;
    }
    if (::rename(temp.c_str(), alias.c_str()) != 0) {
        error = sysError("cannot replace " + alias);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

void removeAlias(const std::string& alias, const std::string& target) {
    char buf[4096];
    ssize_t n = ::readlink(alias.c_str(), buf, sizeof buf - 1);
    if (n < 0) return;
    if (std::string(buf, static_cast<std::size_t>(n)) == target) ::unlink(alias.c_str());
}

}  // namespace vtunit
