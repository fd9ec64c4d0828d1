#pragma once
// The unit's end of the line: a pseudo-terminal in raw mode, and the port alias that points the
// configurator at it. POSIX only; errors come back as text for main() to print.
#include <optional>
#include <string>

#include "serial/unit_record.h"

namespace vtunit {

struct Pty {
    int master = -1;
    int slaveKeep = -1;  // held open so the master never reads EIO while the other side is closed
    std::string slavePath;
};

// Opens a non-blocking master and puts the line in raw mode (no echo, no CR/LF translation).
bool openPty(Pty& pty, std::string& error);
void closePty(Pty& pty);

// The alias of port ("comN") where the comm layer looks for it (serial/portname.h); nullopt when
// no home names a folder for it.
std::optional<std::string> aliasPath(const std::string& port);

// Links alias -> target and records it as this running unit's. An existing alias is replaced
// only when force is given or when the unit that made it has ended, and only if it is a link;
// the name never points nowhere in between.
bool makeAlias(const std::string& alias, const std::string& target, bool force, commapi::UnitRecord& record,
               std::string& error);

// Removes the alias only while it still points at target (someone may have replaced it).
void removeAlias(const std::string& alias, const std::string& target);

// A client that ended without closing the port (SIGKILL, a crash) leaves the terminal in
// exclusive mode, which lasts while this side keeps the terminal open: every later open would
// be refused. Clears it once no program holds a lock on the terminal; true when it did.
bool clearAbandonedExclusive(const Pty& pty);

}  // namespace vtunit
