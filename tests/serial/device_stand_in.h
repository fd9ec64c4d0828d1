#pragma once
// A stand-in for the device behind a pty: answers as the pty does, except where a test plays
// what a pty cannot be (override those).
#include "serial/posix/tty_ioctl.h"

class DeviceStandIn : public commapi::tty::Queries {
public:
    int outputQueued(int fd) const override { return device().outputQueued(fd); }
    bool readLines(int fd, commapi::LineCounts& lines) const override { return device().readLines(fd, lines); }
    commapi::tty::LowLatency lowLatency(int fd) const override { return device().lowLatency(fd); }
    bool setLowLatency(int fd, bool on) const override { return device().setLowLatency(fd, on); }

private:
    static const Queries& device() { return commapi::tty::deviceQueries(); }
};
