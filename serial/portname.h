#pragma once
// Which device a port name opens: a name holding "/" is a path used as it is; "comN" (any case,
// N from 1) is the alias <config>/vtconfig/ports/comN when it exists, else /dev/ttyS<N-1>;
// anything else names no device. Only an alias that is absent falls back to ttyS: one that
// cannot be looked at (no permission, a file in place of the folder, a link loop, a name too
// long) refuses the name, as does an alias left by a simulated unit that has ended, and one that
// is not the user's alone: another user could choose where it leads. The ports folder and every
// folder above it up to the home must be the user's (or root's) and writable by nobody else, the
// alias the user's or root's, and every link on the way to the device passes the files rule
// (files/links.h). The one home of that rule: the comm layer, vtunit's alias and the run script
// (through vtportalias) all take it from here. Free of Qt.
#include <cerrno>
#include <optional>
#include <string>

#include "files/links.h"

namespace commapi {

// Why a comN is refused although its alias is there: the simulated unit that made it has ended.
inline constexpr int kUnitEnded = EOWNERDEAD;
// Why a comN is refused when no folder can hold its alias (configHome() is ""): an alias that is
// absent never refuses a name, so ENOENT says this alone.
inline constexpr int kNoConfigHome = ENOENT;

struct PortPath {
    std::string path;    // what opening the name opens: the alias, /dev/ttyS<N-1>, or the path given
    bool alias = false;  // path is comN's alias, a link
    // 0 when the name may be opened; else why not: the errno of looking at the alias, or
    // kUnitEnded (path is then the alias).
    int refused = 0;
    // Why, when the alias or the path is there but is not the user's alone: a folder above the
    // alias, the alias, or a link on the way (files::refusedText); "" otherwise.
    std::string untrusted{};
    // What opening the name opens, walked once (files::walkPath): the comm layer opens this very
    // file (files::openFound), never the path again by name; its error is why it is not there.
    files::Walked device{};
};

// Whether name is a device's path, opened as it is given: one holding "/" on Linux, a name in the
// device namespace (\\.\CNCA0) on Windows.
bool isDevicePath(const std::string& name);
// configHome is where the aliases' folder lies (configHome(), a test's own folder); for "" a comN
// is refused (kNoConfigHome). devFolder is where the ttyS nodes are (another folder only in
// tests). nullopt for a name that is no port.
std::optional<PortPath> resolvePortName(const std::string& name, const std::string& configHome,
                                        const std::string& devFolder = "/dev");
// "comN" in lower case for a name of a port alias (any case, N from 1, no leading zero, at most six
// digits); nullopt for any other name.
std::optional<std::string> portAliasName(const std::string& name);
// Where the alias of "comN" lives, whether or not it exists; nullopt for any other name, and for
// every name when configHome is "".
std::optional<std::string> portAliasPath(const std::string& name, const std::string& configHome);
// The folder of the aliases.
std::string portAliasFolder(const std::string& configHome);
// Makes the folder of the aliases, and each missing folder above it, private (0700); one of the
// user's own that is there already is made private too: what lies in it is nobody else's to
// read or hold. 0 or the errno; kNoConfigHome, making nothing, for a configHome of "".
int makePortAliasFolder(const std::string& configHome);
// The configHome of this process's environment: $XDG_CONFIG_HOME or ~/.config, by the one XDG
// rule of files::xdgHome; "" when neither names a place.
std::string configHome();
// Why a comN cannot be used when configHome() is "": "neither XDG_CONFIG_HOME nor HOME names a
// folder for its alias".
std::string noConfigHomeText();

}  // namespace commapi
