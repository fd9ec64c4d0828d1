#pragma once
// Which device a port name opens: a name holding "/" is a path used as it is; "comN" (any case,
// N from 1) is the alias <config>/vtconfig/ports/comN when it exists, else /dev/ttyS<N-1>;
// anything else names no device. The one home of that rule: the comm layer, vtunit's alias
// and the run script (through vtportalias) all take it from here. Free of Qt.
#include <optional>
#include <string>

namespace commapi {

// configHome is $XDG_CONFIG_HOME, or ~/.config when that is unset or empty; devFolder is where
// the ttyS nodes are (another folder only in tests).
std::optional<std::string> resolvePortName(const std::string& name, const std::string& configHome,
                                           const std::string& devFolder = "/dev");
// Where the alias of "comN" lives, whether or not it exists; nullopt for any other name.
std::optional<std::string> portAliasPath(const std::string& name, const std::string& configHome);
// The folder of the aliases.
std::string portAliasFolder(const std::string& configHome);
// The configHome of this process's environment.
std::string configHome();

}  // namespace commapi
