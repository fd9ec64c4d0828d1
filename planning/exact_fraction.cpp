#include "planning/exact_fraction.h"

#include <iterator>

#include "planning/number_text.h"

namespace planning {
namespace {

using u128 = unsigned __int128;

constexpr unsigned kTensPerFactor = 18;
constexpr uint64_t kTensFactor = 1'000'000'000'000'000'000u;  // 10^18

// 10^n as factors of at most 10^18.
void appendPowerOfTen(std::vector<uint64_t>& factors, int64_t n) {
    for (; n >= kTensPerFactor; n -= kTensPerFactor) factors.push_back(kTensFactor);
    uint64_t rest = 1;
    for (; n > 0; --n) rest *= 10;
    if (rest != 1) factors.push_back(rest);
}

// magnitude / 10^decimals written as ExactInt::toFixed writes it.
std::string fixedText(u128 magnitude, bool negative, unsigned decimals, char decimalSeparator) {
    char text[48];  // 39 digits, a separator and a sign at most
    char* at = std::end(text);
    for (unsigned written = 0; magnitude != 0 || written <= decimals; ++written) {
        if (written == decimals && decimals > 0) *--at = decimalSeparator;
        // Once it fits 64 bits, the divisions are the processor's own.
        const uint64_t digit =
            magnitude >> 64 ? static_cast<uint64_t>(magnitude % 10) : static_cast<uint64_t>(magnitude) % 10;
        magnitude = magnitude >> 64 ? magnitude / 10 : static_cast<uint64_t>(magnitude) / 10;
        *--at = static_cast<char>('0' + digit);
    }
    if (negative) *--at = '-';
    return std::string(at, std::end(text));
}

}  // namespace

ExactFraction::ExactFraction(ExactInt numerator, std::vector<uint64_t> denominator)
    : num_(std::move(numerator)), den_(std::move(denominator)) {}

std::optional<ExactFraction> ExactFraction::fromDecimal(std::string_view text, char decimalSeparator, int scale) {
    const std::optional<ExactDecimal> d = tryExactDecimal(text, decimalSeparator);
    if (!d) return std::nullopt;
    ExactInt digits = ExactInt::fromDigits(d->significant);
    if (d->negative) digits = -digits;
    const int64_t tens = d->exponent + scale;
    if (tens >= 0) return ExactFraction(digits.timesTenTo(static_cast<unsigned>(tens)));
    std::vector<uint64_t> den;
    appendPowerOfTen(den, -tens);
    return ExactFraction(std::move(digits), std::move(den));
}

ExactFraction ExactFraction::operator*(const ExactInt& factor) const { return ExactFraction(num_ * factor, den_); }

ExactFraction ExactFraction::dividedBy(uint64_t factor) const {
    ExactFraction r = *this;
    if (factor != 1) r.den_.push_back(factor);
    return r;
}

ExactInt ExactFraction::denominatorValue() const {
    ExactInt d(1);
    for (const uint64_t f : den_) d = d * ExactInt::fromInt128(static_cast<__int128>(f));
    return d;
}

ExactFraction ExactFraction::operator-(const ExactFraction& o) const {
    if (den_ == o.den_) return ExactFraction(num_ - o.num_, den_);
    std::vector<uint64_t> den = den_;
    den.insert(den.end(), o.den_.begin(), o.den_.end());
    return ExactFraction(num_ * o.denominatorValue() - o.num_ * denominatorValue(), std::move(den));
}

ExactFraction ExactFraction::magnitude() const { return ExactFraction(num_.isNegative() ? -num_ : num_, den_); }

ExactInt ExactFraction::roundedQuotient(const ExactFraction& o) const {
    const ExactInt numerator = num_ * o.denominatorValue();
    if (den_.empty()) return numerator.roundedDivide(o.num_);
    // The usual case keeps to small divisions: the decimals' powers of ten as they are.
    if (const auto d = o.num_.toInt128(); d && *d > 0 && *d <= static_cast<__int128>(UINT64_MAX)) {
        std::vector<uint64_t> factors = den_;
        factors.push_back(static_cast<uint64_t>(*d));
        return numerator.roundedDivide(std::span<const uint64_t>(factors));
    }
    return numerator.roundedDivide(o.num_ * denominatorValue());
}

std::optional<std::pair<__int128, __int128>> ExactFraction::toInt128Parts() const {
    const auto num = num_.toInt128();
    if (!num) return std::nullopt;
    __int128 den = 1;
    for (const uint64_t f : den_)
        if (__builtin_mul_overflow(den, static_cast<__int128>(f), &den)) return std::nullopt;
    return std::pair(*num, den);
}

bool ExactFraction::below(int64_t value) const { return num_ < ExactInt(value) * denominatorValue(); }

std::string ExactFraction::toFixed(unsigned decimals, char decimalSeparator) const {
    // A figure of the usual size in 128 bits, without the big numbers' allocations: a sweep
    // writes three of them a point.
    if (const auto parts = toInt128Parts(); parts && decimals < kTensPerFactor) {
        uint64_t tens = 1;
        for (unsigned i = 0; i < decimals; ++i) tens *= 10;
        const bool negative = parts->first < 0;
        const u128 numerator = negative ? u128{0} - static_cast<u128>(parts->first) : static_cast<u128>(parts->first);
        u128 scaled = 0;
        if (!__builtin_mul_overflow(numerator, tens, &scaled)) {
            const u128 q = roundedDivide128(scaled, static_cast<u128>(parts->second));
            return fixedText(q, negative && q != 0, decimals, decimalSeparator);
        }
    }
    return num_.timesTenTo(decimals).roundedDivide(den_).toFixed(decimals, decimalSeparator);
}

}  // namespace planning
