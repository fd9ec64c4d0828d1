#pragma once
// Another program holding a port: a child process that opens it, takes flock and TIOCEXCL, and
// lets go again when told (the exclusive mode belongs to the terminal, not to a descriptor, so a
// holder that merely died would leave it set for every later open).
#include <string>

#include "testkit/child_process.h"

namespace vttest {

class PortHolder {
public:
    explicit PortHolder(const std::string& path);
    bool held() const { return held_; }
    // Clears the exclusive mode and waits for the holder to end.
    void letGo();

private:
    ChildProcess child_;
    bool held_ = false;
};

}  // namespace vttest
