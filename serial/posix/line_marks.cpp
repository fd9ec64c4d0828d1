#include "serial/posix/line_marks.h"

namespace commapi {

LineMarkReader::Result LineMarkReader::feed(const std::uint8_t* in, std::size_t n, std::uint8_t* out, bool replace,
                                            char errorChar) {
    Result r;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t c = in[i];
        switch (state_) {
            case State::Data:
                if (c == 0xFF) {
                    state_ = State::Mark;
                } else {
                    out[r.bytes++] = c;
                }
                break;
            case State::Mark:
                if (c == 0xFF) {
                    out[r.bytes++] = 0xFF;
                    state_ = State::Data;
                } else if (c == 0) {
                    state_ = State::MarkZero;
                } else {
                    // The tty layer never writes this; taking c alone keeps every step at one
                    // byte out for one byte in, so out may be in.
                    out[r.bytes++] = c;
                    state_ = State::Data;
                }
                break;
            case State::MarkZero:
                if (c == 0) {
                    r.events |= kEvBreak;
                    r.errors |= kCeBreak;
                } else {
                    r.events |= kEvErr;
                    r.errors |= kCeFrame;
                    out[r.bytes++] = replace ? static_cast<std::uint8_t>(errorChar) : c;
                }
                state_ = State::Data;
                break;
        }
    }
    return r;
}

}  // namespace commapi
