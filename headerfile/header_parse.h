#pragma once
// Reading a register header back into a channel table: the exact lines the export writes, with
// LF or CR LF line ends, blanks at line ends and lower-case hexadecimal digits tolerated.
#include <string>
#include <string_view>

#include "planning/channel_table.h"
#include "text/vt_error.h"

namespace headerfile {

// The first line that is not what the export writes there. what(): "line 7: expected `  0x…,    //IntgReg`",
// or "line 2: " and what is wrong with a description.
struct HeaderFormatError : text::VtError {
    struct Problem {
        std::string text;
    };
    HeaderFormatError(int lineNumber, const std::string& expected);
    HeaderFormatError(int lineNumber, const Problem& problem);
    int line;
};

// The table the bytes describe: for channels 0..7 the description (code page 932, byte for
// byte) and RefReg, IntgReg, FracReg, CPReg; SDReg is not in the file and stays 0. All or
// nothing: throws HeaderFormatError at the first line that does not fit. A description that
// planning::descriptionProblem() finds fault with (too long, a control byte but tab, `??/`, or
// ending in byte 0x5C: a backslash, or the second byte of a code page 932 character such as 表)
// does not fit, nor a date line with a control byte or `??/`. Holds no more than the bytes themselves.
planning::ChannelTable parseHeader(std::string_view bytes);

}  // namespace headerfile
