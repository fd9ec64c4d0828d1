#pragma once
// The runtime's texts of the planning core's errors (thrown as text::VtError).
#include <string>
#include <string_view>

#include "text/vt_error.h"

namespace planning {

// The runtime's texts, built by concatenation so that operator text is never a format.
inline constexpr std::string_view kInvalidFpOperation = "不正な浮動小数点数演算命令";
inline constexpr std::string_view kFpZeroDivide = "0 による浮動小数点数除算";
inline constexpr std::string_view kFpOverflow = "浮動小数点数のオーバーフロー";
inline constexpr std::string_view kIntZeroDivide = "ゼロによる除算";

std::string notDecimalText(std::string_view typed);  // "'%s' は浮動小数点数ではありません"
std::string notWholeText(std::string_view typed);    // "'%s' は整数ではありません"

}  // namespace planning
