#pragma once
// The unit's end of the line: a pseudo-terminal in raw mode, and the port alias that points the
// configurator at it. POSIX only; errors come back as text for main() to print.
#include <string>

namespace vtunit {

struct Pty {
    int master = -1;
    int slaveKeep = -1;  // held open so the master never reads EIO while the other side is closed
    std::string slavePath;
};

// Opens a non-blocking master and puts the line in raw mode (no echo, no CR/LF translation).
bool openPty(Pty& pty, std::string& error);
void closePty(Pty& pty);

// The folder of the port aliases, as the comm layer looks for them (serial/posix/portname.h).
std::string aliasDirectory();

// Links alias -> target. Refuses an existing alias unless force; the replacement is atomic.
bool makeAlias(const std::string& alias, const std::string& target, bool force, std::string& error);

// Removes the alias only while it still points at target (someone may have replaced it).
void removeAlias(const std::string& alias, const std::string& target);

}  // namespace vtunit
