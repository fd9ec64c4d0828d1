#include "planning/exact_int.h"

#include <algorithm>
#include <stdexcept>

namespace planning {

using u128 = unsigned __int128;

ExactInt::ExactInt(int64_t v) {
    negative_ = v < 0;
    mag_[0] = negative_ ? uint64_t{0} - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

ExactInt ExactInt::fromInt128(__int128 v) {
    ExactInt r;
    r.negative_ = v < 0;
    const u128 m = r.negative_ ? u128{0} - static_cast<u128>(v) : static_cast<u128>(v);
    r.mag_[0] = static_cast<uint64_t>(m);
    r.mag_[1] = static_cast<uint64_t>(m >> 64);
    return r;
}

bool ExactInt::isZero() const {
    return std::all_of(mag_.begin(), mag_.end(), [](uint64_t x) { return x == 0; });
}

void ExactInt::normaliseZero() {
    if (isZero()) negative_ = false;
}

int ExactInt::compareMagnitude(const Limbs& a, const Limbs& b) {
    for (size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

ExactInt::Limbs ExactInt::addMagnitude(const Limbs& a, const Limbs& b) {
    Limbs r{};
    u128 carry = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const u128 s = u128{a[i]} + b[i] + carry;
        r[i] = static_cast<uint64_t>(s);
        carry = s >> 64;
    }
    if (carry != 0) throw std::overflow_error("ExactInt overflow");
    return r;
}

ExactInt::Limbs ExactInt::subMagnitude(const Limbs& a, const Limbs& b) {
    Limbs r{};
    uint64_t borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const u128 d = u128{a[i]} - b[i] - borrow;
        r[i] = static_cast<uint64_t>(d);
        borrow = (d >> 64) != 0 ? 1 : 0;
    }
    return r;
}

ExactInt ExactInt::operator*(const ExactInt& o) const {
    std::array<uint64_t, 8> wide{};
    for (size_t i = 0; i < mag_.size(); ++i) {
        u128 carry = 0;
        for (size_t j = 0; j < o.mag_.size(); ++j) {
            const u128 t = u128{mag_[i]} * o.mag_[j] + wide[i + j] + carry;
            wide[i + j] = static_cast<uint64_t>(t);
            carry = t >> 64;
        }
        wide[i + o.mag_.size()] = static_cast<uint64_t>(carry);
    }
    if (std::any_of(wide.begin() + 4, wide.end(), [](uint64_t x) { return x != 0; }))
        throw std::overflow_error("ExactInt overflow");
    ExactInt r;
    std::copy(wide.begin(), wide.begin() + 4, r.mag_.begin());
    r.negative_ = negative_ != o.negative_;
    r.normaliseZero();
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
    r.normaliseZero();
    return r;
}

ExactInt ExactInt::operator-(const ExactInt& o) const {
    ExactInt negated = o;
    negated.negative_ = !o.negative_;
    negated.normaliseZero();
    return *this + negated;
}

ExactInt ExactInt::roundedShiftRight(unsigned bits) const {
    if (bits == 0) return *this;
    if (bits >= 64) throw std::invalid_argument("ExactInt shift");
    ExactInt r;
    r.negative_ = negative_;
    for (size_t i = 0; i < mag_.size(); ++i) {
        const uint64_t high = i + 1 < mag_.size() ? mag_[i + 1] : 0;
        r.mag_[i] = (mag_[i] >> bits) | (high << (64 - bits));
    }
    const uint64_t rest = mag_[0] & ((uint64_t{1} << bits) - 1);
    const uint64_t half = uint64_t{1} << (bits - 1);
    if (rest > half || (rest == half && (r.mag_[0] & 1) != 0)) r.mag_ = addMagnitude(r.mag_, Limbs{1, 0, 0, 0});
    r.normaliseZero();
    return r;
}

std::string ExactInt::toFixed(unsigned decimals, char decimalSeparator) const {
    std::string digits;
    Limbs m = mag_;
    constexpr uint64_t kChunk = 10;
    do {
        u128 remainder = 0;
        for (size_t i = m.size(); i-- > 0;) {
            const u128 cur = (remainder << 64) | m[i];
            m[i] = static_cast<uint64_t>(cur / kChunk);
            remainder = cur % kChunk;
        }
        digits.push_back(static_cast<char>('0' + static_cast<int>(remainder)));
    } while (std::any_of(m.begin(), m.end(), [](uint64_t x) { return x != 0; }));
    while (digits.size() <= decimals) digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (decimals > 0) digits.insert(digits.end() - decimals, decimalSeparator);
    if (negative_) digits.insert(digits.begin(), '-');
    return digits;
}

}  // namespace planning
