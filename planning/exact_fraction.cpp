#include "planning/exact_fraction.h"

#include "planning/number_text.h"

namespace planning {
namespace {

constexpr unsigned kTensPerFactor = 18;
constexpr uint64_t kTensFactor = 1'000'000'000'000'000'000u;  // 10^18

// 10^n as factors of at most 10^18.
void appendPowerOfTen(std::vector<uint64_t>& factors, int64_t n) {
    for (; n >= kTensPerFactor; n -= kTensPerFactor) factors.push_back(kTensFactor);
    uint64_t rest = 1;
    for (; n > 0; --n) rest *= 10;
    if (rest != 1) factors.push_back(rest);
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

bool ExactFraction::below(int64_t value) const { return num_ < ExactInt(value) * denominatorValue(); }

std::string ExactFraction::toFixed(unsigned decimals, char decimalSeparator) const {
    return num_.timesTenTo(decimals).roundedDivide(den_).toFixed(decimals, decimalSeparator);
}

}  // namespace planning
