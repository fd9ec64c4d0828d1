#include "serial/alias_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "files/errno_text.h"

namespace commapi {
namespace {

constexpr int kTempNames = 100;

// A kernel or file system without renameat2's flags.
bool noRenameFlags(int error) { return error == EINVAL || error == ENOSYS; }

// What holds the name now, when it is no link (0: absent or a link).
mode_t notALink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return 0;
    return st.st_mode;
}

// Without the flags: look, then rename; the gap between the two stays.
AliasPlaced putPlainly(const std::string& temp, const std::string& alias, bool replace, mode_t& found) {
    struct stat st {};
    if (::lstat(alias.c_str(), &st) != 0) {
        // A hard link to the new link cannot replace anything that appeared meanwhile.
        if (::link(temp.c_str(), alias.c_str()) != 0) return AliasPlaced::Failed;
        ::unlink(temp.c_str());
        return AliasPlaced::Done;
    }
    if (!S_ISLNK(st.st_mode)) return found = st.st_mode, AliasPlaced::NotALink;
    if (!replace) return AliasPlaced::Exists;
    return ::rename(temp.c_str(), alias.c_str()) == 0 ? AliasPlaced::Done : AliasPlaced::Failed;
}

// Puts the link at temp under the name alias. On Done the temporary name is gone or holds
// the old link; otherwise it still holds the new link.
AliasPlaced put(const std::string& temp, const std::string& alias, bool replace, mode_t& found) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, alias.c_str(), RENAME_NOREPLACE) == 0) return AliasPlaced::Done;
    if (noRenameFlags(errno)) return putPlainly(temp, alias, replace, found);
    if (errno != EEXIST) return AliasPlaced::Failed;
    if (!replace) {
        found = notALink(alias);
        return found ? AliasPlaced::NotALink : AliasPlaced::Exists;
    }
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, alias.c_str(), RENAME_EXCHANGE) != 0)
        return noRenameFlags(errno) ? putPlainly(temp, alias, replace, found) : AliasPlaced::Failed;
    found = notALink(temp);
    if (!found) return AliasPlaced::Done;
    // Not ours to replace: it goes back under its name.
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, alias.c_str(), RENAME_EXCHANGE) != 0) return AliasPlaced::Failed;
    return AliasPlaced::NotALink;
}

}  // namespace

AliasPlaced placeAliasLink(const std::string& alias, const std::string& target, bool replace, mode_t& found) {
    const std::size_t slash = alias.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : alias.substr(0, slash);
    const std::string name = alias.substr(slash + 1);
    for (int attempt = 0; attempt < kTempNames; ++attempt) {
        const std::string temp =
            folder + "/." + name + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (::symlink(target.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return AliasPlaced::Failed;
        }
        found = 0;
        const AliasPlaced placed = put(temp, alias, replace, found);
        const int error = errno;
        if (placed == AliasPlaced::Exists) found = S_IFLNK;
        // What the temporary name holds now is a link of ours or the old alias, never the
        // other thing: that one went back, or (the exchange back failed) stays put under it.
        if (placed != AliasPlaced::Failed || !notALink(temp)) ::unlink(temp.c_str());
        errno = error;
        return placed;
    }
    errno = EEXIST;
    return AliasPlaced::Failed;
}

std::string notAnAliasText(const std::string& alias, mode_t found) {
    return alias + " is " + files::fileKind(found) + ", not an alias; it is left as it is";
}

}  // namespace commapi
