#include "settings/profile_bytes.h"

#include <algorithm>

namespace profile {

namespace {

// Blocks of a fixed size, so that the compiler turns the inner loops into vector code.
constexpr std::size_t kBlock = 64;

bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool blockAllSpace(const unsigned char* p) {
    unsigned other = 0;
    for (std::size_t i = 0; i < kBlock; ++i) other |= !isSpace(p[i]);
    return other == 0;
}

// p[-1] must be readable.
bool blockHasBareLineFeed(const unsigned char* p) {
    const unsigned char* before = p - 1;
    unsigned bare = 0;
    for (std::size_t i = 0; i < kBlock; ++i) bare |= (p[i] == '\n') & (before[i] != '\r');
    return bare != 0;
}

}  // namespace

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::size_t skipBlankLines(std::string_view text, std::size_t from) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = from;
    // Runs are short in ordinary files: look at a few bytes before going block by block.
    for (std::size_t k = 0; k < 16 && i < n; ++k, ++i)
        if (!isSpace(p[i])) return i;
    while (n - i >= kBlock && blockAllSpace(p + i)) i += kBlock;
    while (i < n && isSpace(p[i])) ++i;
    return i;
}

std::size_t nextBareLineFeed(std::string_view text, std::size_t from) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = from;
    if (i >= n) return n;
    if (i == 0) {
        if (p[0] == '\n') return 0;
        i = 1;
    }
    for (;;) {
        while (n - i >= kBlock && !blockHasBareLineFeed(p + i)) i += kBlock;
        const std::size_t end = std::min(n, i + kBlock);
        for (; i < end; ++i)
            if (p[i] == '\n' && p[i - 1] != '\r') return i;
        if (i >= n) return n;
    }
}

}  // namespace profile
