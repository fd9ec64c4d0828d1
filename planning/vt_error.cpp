#include "planning/vt_error.h"

#include "planning/cp932.h"

namespace planning {

std::string notDecimalText(std::string_view typed)
{
    std::string text = "'";
    text.append(typed);
    text.append("' は浮動小数点数ではありません");
    return text;
}

std::string notWholeText(std::string_view typed)
{
    std::string text = "'";
    text.append(typed);
    text.append("' は整数ではありません");
    return text;
}

std::string withFullStop(std::string_view utf8)
{
    std::string text(utf8);
    // The box compares bytes of the 8-bit text: a double-byte character ends in its trail byte.
    const std::string cp932 = utf8ToCp932(utf8);
    if (!cp932.empty() && static_cast<unsigned char>(cp932.back()) > static_cast<unsigned char>('.'))
        text.push_back('.');
    return text;
}

}  // namespace planning
