#pragma once
// Why a port did not open: the facts the system can tell after the failure, and the one line
// made of them (the text alone is pure, so every reason can be checked without the system that
// produced it). Free of Qt.
#include <sys/types.h>

#include <string>
#include <string_view>

#include "serial/posix/proc_locks.h"

namespace commapi {

struct OpenFailure {
    std::string port;    // the name as given: "com3", "/dev/ttyUSB0"
    std::string device;  // the device it names, an alias followed; "" when it names none
    int error = 0;       // errno of the failed open, or kUnitEnded
    // The name's alias could not be looked at (device is then the alias itself).
    bool aliasUnreadable = false;
    // Why the alias, or the path, is not the user's alone (PortPath::untrusted); "" when it is.
    std::string untrusted;
    // A comN with no folder for its alias: no home is named (kNoConfigHome).
    bool noAliasFolder = false;
    // What the device is when it is none ("a folder", "a FIFO"); "" for a device or when unknown.
    std::string kind;
    // Permission denied: the device's group, and whether joining it would let this user in
    // (the group may read and write it, and the user is not in it).
    std::string group;
    bool joiningHelps = false;
    // In use: the process that holds a lock on the device (0: not known), and its name.
    pid_t holder = 0;
    std::string holderName;
};

// The line for the operator; "" when error is 0.
std::string openFailureText(const OpenFailure& failure);

// Looks the facts up: the device the name resolves to, its group against this process's
// groups, the lock holder in /proc/locks and its name in /proc/<pid>/comm.
OpenFailure lookUpOpenFailure(const std::string& port, int error);

}  // namespace commapi
