#include "text/vt_error.h"

#include "text/cp932.h"

namespace text {

std::string withFullStop(std::string_view utf8) {
    std::string out(utf8);
    // The box compares bytes of the 8-bit text: a double-byte character ends in its trail byte.
    const std::string cp932 = utf8ToCp932(utf8);
    if (!cp932.empty() && static_cast<unsigned char>(cp932.back()) > static_cast<unsigned char>('.'))
        out.push_back('.');
    return out;
}

}  // namespace text
