#pragma once
// The POSIX back end's layer: createFile resolves the port name, opens the device exclusively
// and puts it into raw mode. Free of Qt.
#include "serial/commapi.h"
#include "serial/posix/tty_ioctl.h"

namespace commapi {

class PosixLayer final : public CommLayer {
public:
    // queries: how its ports ask the device about its output queue and modem lines.
    explicit PosixLayer(const tty::Queries& queries = tty::deviceQueries()) : queries_(queries) {}
    std::unique_ptr<CommPort> createFile(const std::string& name) override;
    CommError lastError() const override;

private:
    const tty::Queries& queries_;
};

}  // namespace commapi
