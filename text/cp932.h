#pragma once
// Code page 932 (Shift-JIS) <-> UTF-8; characters that have no counterpart become '?'.
#include <string>
#include <string_view>

namespace text {

std::string utf8ToCp932(std::string_view utf8);
std::string cp932ToUtf8(std::string_view cp932);

}  // namespace text
