#include "text/cp932.h"

#include <iconv.h>
#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace text {
namespace {

// One conversion descriptor per thread and direction: iconv_t is not safe to share.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // `skip` tells how many input bytes an unconvertible character takes.
    template <typename Skip>
    std::string run(std::string_view in, Skip skip) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(in.size() * 2 + 4);
        char buffer[256];
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a truncated sequence at the end): one '?' for the character.
            out.push_back('?');
            const size_t n = std::min(srcLeft, skip(reinterpret_cast<const unsigned char*>(src), srcLeft));
            src += n;
            srcLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

size_t utf8SequenceLength(const unsigned char* p, size_t left) {
    const unsigned char lead = p[0];
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    // Only a well-formed run of continuation bytes belongs to the character.
    size_t n = 1;
    while (n < length && n < left && (p[n] & 0xC0) == 0x80) ++n;
    return n;
}

size_t cp932SequenceLength(const unsigned char* p, size_t left) {
    const unsigned char lead = p[0];
    const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (doubleByte && left >= 2) {
        const unsigned char trail = p[1];
        if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) return 2;
    }
    return 1;
}

}  // namespace

std::string utf8ToCp932(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.run(utf8, utf8SequenceLength);
}

std::string cp932ToUtf8(std::string_view cp932) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.run(cp932, cp932SequenceLength);
}

}  // namespace text
