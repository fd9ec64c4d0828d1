#pragma once
// The simulated unit's controller: what it does with each byte it receives. Pure logic, no I/O,
// so the protocol can be checked without a terminal.
#include <array>
#include <cstdint>
#include <string>

#include "protocol/unit_protocol.h"

namespace vtunit {

// The channel memory: one write image.
using Memory = std::array<std::uint8_t, protocol::kImageSize>;

struct Faults {
    bool silent = false;         // never answer
    long long stopAfter = -1;    // answer only the first N bytes (-1: always)
    long long hangupAfter = -1;  // hang up on receiving byte number N (-1: never)
};

// What the unit does in answer to one received byte.
struct Reaction {
    std::string reply;           // bytes to send back, in order
    bool memoryChanged = false;  // a write completed or the memory was initialised
    bool hangUp = false;         // close the line now (this byte gets no answer)
};

class Unit {
public:
    explicit Unit(Faults faults = {}) : faults_(faults) {}

    Reaction receive(std::uint8_t byte);

    const Memory& memory() const { return memory_; }
    int channel() const { return channel_; }

private:
    enum class Mode { Command, AwaitWriteCR, Image };

    Reaction command(std::uint8_t byte);

    Faults faults_;
    Memory memory_{};
    int channel_ = 0;
    Mode mode_ = Mode::Command;
    std::size_t imageIndex_ = 0;
    long long received_ = 0;
};

}  // namespace vtunit
