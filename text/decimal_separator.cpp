#include "text/decimal_separator.h"

#include <clocale>

namespace text {

char localeDecimalSeparator() {
    const std::lconv* lc = std::localeconv();
    if (!lc || !lc->decimal_point) return '.';
    const char* p = lc->decimal_point;
    const auto c = static_cast<unsigned char>(p[0]);
    if (c == 0 || c >= 0x80 || p[1] != '\0') return '.';
    return static_cast<char>(c);
}

}  // namespace text
