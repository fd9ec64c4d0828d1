#include "planning/error_texts.h"

namespace planning {

std::string notDecimalText(std::string_view typed) {
    std::string text = "'";
    text.append(typed);
    text.append("' は浮動小数点数ではありません");
    return text;
}

std::string notWholeText(std::string_view typed) {
    std::string text = "'";
    text.append(typed);
    text.append("' は整数ではありません");
    return text;
}

}  // namespace planning
