#pragma once
// Why a port did not open, from the errno its component kept (Trs232c::lastError()). No Qt.
#include <string>

namespace vtctl {

// "no such device", "not a serial device", "in use by another program", "permission denied",
// otherwise the system's text for err.
std::string openFailureText(int err);

}  // namespace vtctl
