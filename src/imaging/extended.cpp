// The extended-precision arithmetic of the sizing rules, done exactly in integers.
#include "imaging/extended.h"

namespace tavo {
namespace {

constexpr int kExtendedBits = 64;
constexpr int kDoubleBits = 53;
constexpr int kQuotientFractionBits = 96;

uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

int BitLength(uint64_t value) {
    int length = 0;
    for (; value != 0; value >>= 1)
        ++length;
    return length;
}

// Bits [shift, shift + 64) of the 128-bit number hi:lo, for 0 < shift < 128.
uint64_t ShiftedRight(uint64_t hi, uint64_t lo, int shift) {
    if (shift >= 64) return hi >> (shift - 64);
    return (lo >> shift) | (hi << (64 - shift));
}

bool Bit(uint64_t hi, uint64_t lo, int index) {
    return index >= 64 ? ((hi >> (index - 64)) & 1) != 0 : ((lo >> index) & 1) != 0;
}

// Whether any of the bits below `count` of hi:lo is set.
bool AnyBelow(uint64_t hi, uint64_t lo, int count) {
    if (count <= 0) return false;
    if (count >= 64) return lo != 0 || (count > 64 && (hi << (128 - count)) != 0);
    return (lo << (64 - count)) != 0;
}

}  // namespace

Extended Extended::Round(bool negative, uint64_t hi, uint64_t lo, int exponent, bool sticky, int bits) {
    const int length = hi != 0 ? 64 + BitLength(hi) : BitLength(lo);
    if (length == 0) return Extended(false, 0, 0);
    uint64_t kept = lo;
    int dropped = 0;
    if (length > bits) {
        dropped = length - bits;
        kept = ShiftedRight(hi, lo, dropped);
        const bool rest = sticky || AnyBelow(hi, lo, dropped - 1);
        if (Bit(hi, lo, dropped - 1) && (rest || (kept & 1) != 0)) ++kept;
        if (kept == 0 || BitLength(kept) > bits) {  // carried out of all `bits` ones
            kept = uint64_t{1} << (bits - 1);
            ++dropped;
        }
    }
    const int normalise = 64 - BitLength(kept);
    return Extended(negative, kept << normalise, exponent + dropped - normalise);
}

Extended Extended::FromInt(int64_t value) {
    return Round(value < 0, 0, Magnitude(value), 0, false, kExtendedBits);
}

Extended Extended::Quotient(int64_t a, int64_t b) {
    const uint64_t divisor = Magnitude(b);
    uint64_t lo = Magnitude(a) / divisor;
    uint64_t remainder = Magnitude(a) % divisor;
    uint64_t hi = 0;
    // Operands of at most 32 bits leave at least 65 significant quotient bits.
    for (int i = 0; i < kQuotientFractionBits; ++i) {
        hi = (hi << 1) | (lo >> 63);
        lo <<= 1;
        remainder <<= 1;
        if (remainder >= divisor) {
            remainder -= divisor;
            lo |= 1;
        }
    }
    return Round((a < 0) != (b < 0), hi, lo, -kQuotientFractionBits, remainder != 0, kExtendedBits);
}

Extended Extended::Times(int64_t n) const {
    const uint64_t factor = Magnitude(n);  // at most 32 bits
    const uint64_t low = (significand_ & 0xFFFFFFFFu) * factor;
    const uint64_t high = (significand_ >> 32) * factor;
    const uint64_t lo = low + (high << 32);
    const uint64_t hi = (high >> 32) + (lo < low ? 1 : 0);
    return Round(negative_ != (n < 0), hi, lo, exponent_, false, kExtendedBits);
}

Extended Extended::ToDouble() const {
    return Round(negative_, 0, significand_, exponent_, false, kDoubleBits);
}

int Extended::CompareMagnitude(const Extended& other) const {
    if (IsZero() || other.IsZero()) return (IsZero() ? 0 : 1) - (other.IsZero() ? 0 : 1);
    if (exponent_ != other.exponent_) return exponent_ < other.exponent_ ? -1 : 1;
    if (significand_ != other.significand_) return significand_ < other.significand_ ? -1 : 1;
    return 0;
}

bool Extended::operator<(const Extended& other) const {
    if (negative_ != other.negative_) return negative_;
    const int order = CompareMagnitude(other);
    return negative_ ? order > 0 : order < 0;
}

bool Extended::MagnitudeAbove(int64_t limit) const {
    return CompareMagnitude(FromInt(limit)) > 0;
}

int64_t Extended::Truncated() const {
    const int shift = -exponent_;
    const uint64_t magnitude = shift >= 64 ? 0 : significand_ >> shift;
    return negative_ ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

int64_t Extended::RoundedHalfEven() const {
    const int shift = -exponent_;
    if (IsZero() || shift > 64) return 0;
    uint64_t magnitude = shift == 64 ? 0 : significand_ >> shift;
    const uint64_t fraction = shift == 64 ? significand_ : significand_ & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (fraction > half || (fraction == half && (magnitude & 1) != 0)) ++magnitude;
    return negative_ ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

}  // namespace tavo
