#pragma once
// Text that came from outside (a field of a file, a file's name) as a message quotes it on a
// terminal or in a log: nothing in it may start a line, colour the terminal or reorder what
// follows. No Qt.
#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// text with the bytes of control characters (C0, DEL, C1), of bidirectional controls and of
// anything that is no UTF-8 written as \xNN, cut after maxChars characters with "…".
std::string shown(std::string_view text, std::size_t maxChars = std::string_view::npos);

}  // namespace text
