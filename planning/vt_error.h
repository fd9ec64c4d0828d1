#pragma once
// Errors of the planning core carry the runtime's own text (UTF-8), shown by the general error report.
#include <stdexcept>
#include <string>
#include <string_view>

namespace planning {

struct VtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The runtime's texts, built by concatenation so that operator text is never a format.
inline constexpr std::string_view kInvalidFpOperation = "不正な浮動小数点数演算命令";
inline constexpr std::string_view kFpZeroDivide = "0 による浮動小数点数除算";
inline constexpr std::string_view kFpOverflow = "浮動小数点数のオーバーフロー";
inline constexpr std::string_view kIntZeroDivide = "ゼロによる除算";

std::string notDecimalText(std::string_view typed);  // "'%s' は浮動小数点数ではありません"
std::string notWholeText(std::string_view typed);    // "'%s' は整数ではありません"

// The error box appends "." when the text's last byte in code page 932 sorts after '.'.
std::string withFullStop(std::string_view utf8);

}  // namespace planning
