#pragma once
// Telling a simulated unit's alias from one a user made. vtunit writes a record beside the alias
// (comN.unit, private to its owner, naming its process, its terminal and the alias link itself)
// and holds it locked (flock) for as long as it runs; the lock goes with the process, even on
// SIGKILL. An alias that its record names but whose unit's process no longer holds that lock
// (anybody else's lock on the record does not count) was left by a unit that has ended: the
// terminal number it points at may belong to somebody else's terminal by now. Free of Qt.
#include <string>

namespace commapi {

// Where the record of comN's alias lives: beside it, comN.unit.
std::string unitRecordPath(const std::string& alias);

enum class AliasMaker {
    Other,        // a user's alias (no record, or a record of another link)
    RunningUnit,  // a simulated unit that is running
    EndedUnit,    // a simulated unit that has ended: never to be opened
};

// Who made the link at alias. Reads the record only (never the terminal it names).
AliasMaker aliasMaker(const std::string& alias);

// Why such an alias is refused: "the simulated unit on com11 is no longer running" (for "COM11").
std::string endedUnitText(const std::string& port);

// The record of a running unit, locked while the object lives and removed with it (while it is
// still this object's own: a later unit may have put its own in its place).
class UnitRecord {
public:
    UnitRecord() = default;
    ~UnitRecord();
    UnitRecord(const UnitRecord&) = delete;
    UnitRecord& operator=(const UnitRecord&) = delete;

    // Records, before the alias is made, that it is to point at terminal; "" or why not.
    std::string publish(const std::string& alias, const std::string& terminal);
    // Adds which link the alias is, once it is there; "" or why not.
    std::string noteLink(const std::string& alias);

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace commapi
