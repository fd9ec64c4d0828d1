#pragma once
// Errors that reach the operator carry the runtime's own text (UTF-8), shown by the general
// error report.
#include <stdexcept>
#include <string>
#include <string_view>

namespace text {

struct VtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The error box appends "." when the text's last byte in code page 932 sorts after '.'.
std::string withFullStop(std::string_view utf8);

}  // namespace text
