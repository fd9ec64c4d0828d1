#include "planning/exact_int.h"

#include <algorithm>
#include <stdexcept>

namespace planning {

using u128 = unsigned __int128;

namespace {

constexpr unsigned kDigitsPerChunk = 19;
constexpr uint64_t kChunk = 10'000'000'000'000'000'000u;  // 10^19, the most below 2^64

uint64_t tenTo(unsigned n) {
    uint64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

}  // namespace

ExactInt::ExactInt(int64_t v) {
    negative_ = v < 0;
    mag_.push_back(negative_ ? uint64_t{0} - static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
    normalise();
}

ExactInt ExactInt::fromInt128(__int128 v) {
    ExactInt r;
    r.negative_ = v < 0;
    const u128 m = r.negative_ ? u128{0} - static_cast<u128>(v) : static_cast<u128>(v);
    r.mag_ = {static_cast<uint64_t>(m), static_cast<uint64_t>(m >> 64)};
    r.normalise();
    return r;
}

ExactInt ExactInt::fromDigits(std::string_view digits) {
    ExactInt r;
    size_t at = 0;
    // The first chunk takes what does not divide into whole chunks, so the rest are all full.
    size_t take = digits.size() % kDigitsPerChunk;
    if (take == 0) take = kDigitsPerChunk;
    while (at < digits.size()) {
        uint64_t chunk = 0;
        for (size_t i = at; i < at + take; ++i) {
            const char c = digits[i];
            if (c < '0' || c > '9') throw std::invalid_argument("ExactInt digits");
            chunk = chunk * 10 + static_cast<uint64_t>(c - '0');
        }
        multiplySmall(r.mag_, tenTo(static_cast<unsigned>(take)), chunk);
        at += take;
        take = kDigitsPerChunk;
    }
    r.normalise();
    return r;
}

void ExactInt::trim(Limbs& m) {
    while (!m.empty() && m.back() == 0) m.pop_back();
}

void ExactInt::normalise() {
    trim(mag_);
    if (mag_.empty()) negative_ = false;
}

int ExactInt::compareMagnitude(const Limbs& a, const Limbs& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

int ExactInt::compare(const ExactInt& o) const {
    if (negative_ != o.negative_) return negative_ ? -1 : 1;
    const int m = compareMagnitude(mag_, o.mag_);
    return negative_ ? -m : m;
}

ExactInt::Limbs ExactInt::addMagnitude(const Limbs& a, const Limbs& b) {
    Limbs r(std::max(a.size(), b.size()) + 1, 0);
    u128 carry = 0;
    for (size_t i = 0; i + 1 < r.size(); ++i) {
        const u128 s = u128{i < a.size() ? a[i] : 0} + (i < b.size() ? b[i] : 0) + carry;
        r[i] = static_cast<uint64_t>(s);
        carry = s >> 64;
    }
    r.back() = static_cast<uint64_t>(carry);
    trim(r);
    return r;
}

ExactInt::Limbs ExactInt::subMagnitude(const Limbs& a, const Limbs& b) {
    Limbs r(a.size(), 0);
    uint64_t borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const u128 d = u128{a[i]} - (i < b.size() ? b[i] : 0) - borrow;
        r[i] = static_cast<uint64_t>(d);
        borrow = (d >> 64) != 0 ? 1 : 0;
    }
    trim(r);
    return r;
}

void ExactInt::multiplySmall(Limbs& m, uint64_t factor, uint64_t addend) {
    u128 carry = addend;
    for (uint64_t& limb : m) {
        const u128 t = u128{limb} * factor + carry;
        limb = static_cast<uint64_t>(t);
        carry = t >> 64;
    }
    if (carry != 0) m.push_back(static_cast<uint64_t>(carry));
    trim(m);
}

uint64_t ExactInt::divideSmall(Limbs& m, uint64_t divisor) {
    u128 remainder = 0;
    for (size_t i = m.size(); i-- > 0;) {
        const u128 cur = (remainder << 64) | m[i];
        m[i] = static_cast<uint64_t>(cur / divisor);
        remainder = cur % divisor;
    }
    trim(m);
    return static_cast<uint64_t>(remainder);
}

ExactInt ExactInt::operator*(const ExactInt& o) const {
    ExactInt r;
    if (isZero() || o.isZero()) return r;
    r.mag_.assign(mag_.size() + o.mag_.size(), 0);
    for (size_t i = 0; i < mag_.size(); ++i) {
        u128 carry = 0;
        for (size_t j = 0; j < o.mag_.size(); ++j) {
            const u128 t = u128{mag_[i]} * o.mag_[j] + r.mag_[i + j] + carry;
            r.mag_[i + j] = static_cast<uint64_t>(t);
            carry = t >> 64;
        }
        r.mag_[i + o.mag_.size()] = static_cast<uint64_t>(carry);
    }
    r.negative_ = negative_ != o.negative_;
    r.normalise();
    return r;
}

ExactInt ExactInt::operator+(const ExactInt& o) const {
    ExactInt r;
    if (negative_ == o.negative_) {
        r.mag_ = addMagnitude(mag_, o.mag_);
        r.negative_ = negative_;
    } else if (compareMagnitude(mag_, o.mag_) >= 0) {
        r.mag_ = subMagnitude(mag_, o.mag_);
        r.negative_ = negative_;
    } else {
        r.mag_ = subMagnitude(o.mag_, mag_);
        r.negative_ = o.negative_;
    }
    r.normalise();
    return r;
}

ExactInt ExactInt::operator-() const {
    ExactInt r = *this;
    r.negative_ = !negative_;
    r.normalise();
    return r;
}

ExactInt ExactInt::operator-(const ExactInt& o) const { return *this + -o; }

ExactInt ExactInt::timesTenTo(unsigned exponent) const {
    ExactInt r = *this;
    for (; exponent >= kDigitsPerChunk; exponent -= kDigitsPerChunk) multiplySmall(r.mag_, kChunk, 0);
    multiplySmall(r.mag_, tenTo(exponent), 0);
    r.normalise();
    return r;
}

ExactInt ExactInt::roundedDivide(std::span<const uint64_t> factors) const {
    // floor(m / D) and floor(2m / D), D the product, through one small division after another:
    // the second is twice the first, plus one when the rest is at least half of D.
    Limbs quotient = mag_, twice = addMagnitude(mag_, mag_);
    bool twiceExact = true;
    for (const uint64_t f : factors) {
        if (f == 0) throw std::invalid_argument("ExactInt division by zero");
        divideSmall(quotient, f);
        twiceExact = divideSmall(twice, f) == 0 && twiceExact;
    }
    const bool halfOrMore = !twice.empty() && (twice[0] & 1) != 0;
    const bool exactHalf = halfOrMore && twiceExact;
    const bool odd = !quotient.empty() && (quotient[0] & 1) != 0;
    if (halfOrMore && (!exactHalf || odd)) quotient = addMagnitude(quotient, Limbs{1});
    ExactInt r;
    r.mag_ = std::move(quotient);
    r.negative_ = negative_;
    r.normalise();
    return r;
}

void ExactInt::shiftLeftOne(Limbs& m, bool lowBit) {
    uint64_t carry = lowBit ? 1 : 0;
    for (uint64_t& limb : m) {
        const uint64_t out = limb >> 63;
        limb = (limb << 1) | carry;
        carry = out;
    }
    if (carry != 0) m.push_back(carry);
}

ExactInt ExactInt::roundedDivide(const ExactInt& divisor) const {
    if (divisor.isZero()) throw std::invalid_argument("ExactInt division by zero");
    ExactInt r;
    if (divisor.mag_.size() == 1) {
        const uint64_t factor[] = {divisor.mag_[0]};
        r = roundedDivide(factor);
    } else {
        // A divisor beyond 64 bits needs digits typed past the nineteenth: rare enough for long
        // division one bit at a time.
        Limbs quotient(mag_.size(), 0), rest;
        for (size_t bit = mag_.size() * 64; bit-- > 0;) {
            shiftLeftOne(rest, ((mag_[bit / 64] >> (bit % 64)) & 1) != 0);
            trim(rest);
            if (compareMagnitude(rest, divisor.mag_) >= 0) {
                rest = subMagnitude(rest, divisor.mag_);
                quotient[bit / 64] |= uint64_t{1} << (bit % 64);
            }
        }
        trim(quotient);
        const int half = compareMagnitude(addMagnitude(rest, rest), divisor.mag_);
        const bool odd = !quotient.empty() && (quotient[0] & 1) != 0;
        if (half > 0 || (half == 0 && odd)) quotient = addMagnitude(quotient, Limbs{1});
        r.mag_ = std::move(quotient);
    }
    r.negative_ = negative_ != divisor.negative_;
    r.normalise();
    return r;
}

std::optional<__int128> ExactInt::toInt128() const {
    if (mag_.size() > 2) return std::nullopt;
    const u128 m = (mag_.size() > 1 ? u128{mag_[1]} << 64 : 0) | (mag_.empty() ? 0 : mag_[0]);
    constexpr u128 kTop = u128{1} << 127;
    if (m < kTop) return negative_ ? -static_cast<__int128>(m) : static_cast<__int128>(m);
    if (negative_ && m == kTop) return static_cast<__int128>(m);  // the most negative value
    return std::nullopt;
}

ExactInt ExactInt::roundedShiftRight(unsigned bits) const {
    if (bits >= 64) throw std::invalid_argument("ExactInt shift");
    const uint64_t divisor[] = {uint64_t{1} << bits};
    return roundedDivide(divisor);
}

std::string ExactInt::toFixed(unsigned decimals, char decimalSeparator) const {
    std::string digits;
    Limbs m = mag_;
    do {
        digits.push_back(static_cast<char>('0' + divideSmall(m, 10)));
    } while (!m.empty());
    while (digits.size() <= decimals) digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (decimals > 0) digits.insert(digits.end() - decimals, decimalSeparator);
    if (negative_) digits.insert(digits.begin(), '-');
    return digits;
}

}  // namespace planning
