#pragma once
// The ports command: what a port name opens and whether that is there for this user. No Qt.
#include <string>

namespace vtctl {

// One line about name (comN or a device path), without its line end:
//   "com1   /home/u/.config/vtconfig/ports/com1 -> /dev/pts/3   present, can be opened"
//   "com2   /dev/ttyS1   not present"
// Looks only (stat, readlink, access): opening a real port would raise its lines. The one place
// that says this; a catalogue of the machine's serial devices may take its place.
std::string describePort(const std::string& name, const std::string& configHome);

}  // namespace vtctl
