#pragma once
// The same device named twice (com1 and COM1, an alias and the path it points at): two jobs on
// one device would each send the command. Looked up before any port is opened. No Qt.
#include <string>
#include <vector>

namespace vtctl {

// "--port com1 and --port /dev/pts/3 name the same device" for the first such pair; "" when
// every port names a device of its own.
std::string samePortTwice(const std::vector<std::string>& ports, const std::string& configHome);

}  // namespace vtctl
