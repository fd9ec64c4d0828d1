#pragma once
// Which device a port name opens: a name holding "/" is a path used as it is; "comN" (any case,
// N from 1) is the alias <config>/vtconfig/ports/comN when it exists, else /dev/ttyS<N-1>;
// anything else names no device. Free of Qt.
#include <optional>
#include <string>

namespace commapi {

// configHome is $XDG_CONFIG_HOME, or ~/.config when that is unset or empty.
std::optional<std::string> resolvePortName(const std::string& name, const std::string& configHome);
// The configHome of this process's environment.
std::string configHome();

}  // namespace commapi
