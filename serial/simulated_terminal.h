#pragma once
// What the simulated unit needs of the back end for the terminal it answers on. Free of Qt.
namespace commapi {

// A client killed while it held the port (SIGKILL, a crash) leaves its exclusive hold on the
// terminal, which lasts while the unit keeps the terminal open: every later open would be
// refused. Drops that hold once no program holds a lock on the terminal; true when it did.
// terminal: an open descriptor of it.
bool clearAbandonedExclusive(int terminal);

}  // namespace commapi
