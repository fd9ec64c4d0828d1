#include "tools/vtunit/pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include "files/errno_text.h"
#include "serial/alias_link.h"
#include "serial/portname.h"
#include "serial/simulated_terminal.h"

namespace vtunit {
namespace {

std::string sysError(const std::string& what) {
    const int err = errno;  // before the text's allocations
    return what + ": " + files::englishErrnoText(err);
}

// Why vtunit does not take alias's name, where something of that mode is.
std::string refusal(const std::string& alias, mode_t found) {
    if (S_ISLNK(found)) return "the port alias " + alias + " exists already (--force replaces it)";
    return commapi::notAnAliasText(alias, found);
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

std::optional<std::string> aliasPath(const std::string& port) {
    return commapi::portAliasPath(port, commapi::configHome());
}

bool makeAlias(const std::string& alias, const std::string& target, bool force, commapi::UnitRecord& record,
               std::string& error) {
    if (const int err = commapi::makePortAliasFolder(commapi::configHome())) {
        errno = err;
        error = sysError("cannot make the folder of " + alias);
        return false;
    }
    const bool replace = force || commapi::aliasMaker(alias) == commapi::AliasMaker::EndedUnit;
    struct stat st {};
    if (::lstat(alias.c_str(), &st) == 0 && (!S_ISLNK(st.st_mode) || !replace)) {
        error = refusal(alias, st.st_mode);
        return false;
    }
    // The record comes first: a unit killed at any moment leaves no alias without one.
    error = record.publish(alias, target);
    if (!error.empty()) return false;
    mode_t found = S_IFLNK;
    switch (commapi::placeAliasLink(alias, target, replace, found)) {
        case commapi::AliasPlaced::Done: break;
        case commapi::AliasPlaced::Exists:
        case commapi::AliasPlaced::NotALink: error = refusal(alias, found); return false;
        case commapi::AliasPlaced::Failed: error = sysError("cannot link " + alias); return false;
    }
    error = record.noteLink(alias);
    if (error.empty()) return true;
    removeAlias(alias, target);
    return false;
}

void removeAlias(const std::string& alias, const std::string& target) {
    char buf[4096];
    ssize_t n = ::readlink(alias.c_str(), buf, sizeof buf - 1);
    if (n < 0) return;
    if (std::string(buf, static_cast<std::size_t>(n)) == target) ::unlink(alias.c_str());
}

bool clearAbandonedExclusive(const Pty& pty) { return commapi::clearAbandonedExclusive(pty.slaveKeep); }

}  // namespace vtunit
