#pragma once
// Reads the line-error marks that the tty layer puts into the byte stream with PARMRK:
// \377 \377 is the byte 0xFF, \377 \0 \0 a break, \377 \0 c a character c received with a
// framing or parity error. Marks may be split across reads; the reader keeps its place.
// Free of Qt and I/O.
#include <cstddef>
#include <cstdint>

#include "serial/commapi.h"

namespace commapi {

class LineMarkReader {
public:
    struct Result {
        std::size_t bytes = 0;  // data bytes written to out
        DWORD events = 0;       // kEvBreak, kEvErr
        DWORD errors = 0;       // kCeBreak, kCeFrame
    };
    // Turns n raw bytes into data bytes at out (out may be in, never longer). A character
    // received with an error is replaced by errorChar when replace is set.
    Result feed(const std::uint8_t* in, std::size_t n, std::uint8_t* out, bool replace, char errorChar);
    void reset() { state_ = State::Data; }

private:
    enum class State { Data, Mark, MarkZero };
    State state_ = State::Data;
};

}  // namespace commapi
