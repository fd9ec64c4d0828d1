#pragma once
// Received bytes as text, not interpreted: rows of 16 in upper-case hexadecimal. No Qt.
#include <string>
#include <string_view>

namespace vtctl {

inline constexpr std::size_t kBytesPerRow = 16;

// Each row is prefix, then the bytes with one blank between them, then LF: "06 18 00 ...\n".
// Nothing for no bytes.
std::string hexRows(std::string_view bytes, std::string_view prefix = {});

}  // namespace vtctl
