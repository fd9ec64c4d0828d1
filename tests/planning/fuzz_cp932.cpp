// libFuzzer: code page 932 conversions and the full-stop rule on arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "planning/error_texts.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = text::cp932ToUtf8(bytes);
    const std::string back = text::utf8ToCp932(utf8);
    // Whatever came through as UTF-8 converts back without loss of length beyond the '?' marks.
    if (text::cp932ToUtf8(back) != utf8 && back.find('?') == std::string::npos) std::abort();
    const std::string shown = text::withFullStop(bytes);
    if (shown.compare(0, bytes.size(), bytes) != 0 || shown.size() > bytes.size() + 1) std::abort();
    (void)text::utf8ToCp932(bytes);
    return 0;
}
