// The extended-precision arithmetic of the sizing rules, done exactly in integers.
#pragma once

#include <cstdint>

namespace tavo {

// A number as the x87 unit holds it in extended precision: a sign, a 64-bit
// significand and a binary exponent, every result rounded to nearest with
// halves to even. Built from integers alone, so every compiler gives the same
// sizes, also where `long double` is a plain double. Only the few operations
// the sizing rules need exist; their operands are whole numbers of at most 32
// bits, so no result comes near an overflow or a subnormal.
class Extended {
public:
    static Extended FromInt(int64_t value);
    // a / b rounded to extended precision; b must not be 0.
    static Extended Quotient(int64_t a, int64_t b);

    // This value times n, rounded to extended precision.
    Extended Times(int64_t n) const;
    // This value rounded to a 64-bit double's 53-bit significand (kept in this type).
    Extended ToDouble() const;

    bool IsZero() const { return significand_ == 0; }
    bool operator<(const Extended& other) const;
    // Whether the magnitude is larger than `limit` (at most 2^62).
    bool MagnitudeAbove(int64_t limit) const;
    // Cut toward zero / rounded to the nearest integer, halves to even; the
    // magnitude must be at most 2^62.
    int64_t Truncated() const;
    int64_t RoundedHalfEven() const;

private:
    Extended(bool negative, uint64_t significand, int exponent)
        : negative_(negative), significand_(significand), exponent_(exponent) {}
    // value = hi * 2^64 + lo, times 2^exponent, plus a nonzero remainder below
    // lo's last bit when `sticky`; rounded to `bits` significant bits.
    static Extended Round(bool negative, uint64_t hi, uint64_t lo, int exponent, bool sticky, int bits);
    int CompareMagnitude(const Extended& other) const;

    bool negative_ = false;
    uint64_t significand_ = 0;  // top bit set unless the value is 0
    int exponent_ = 0;          // value = significand * 2^exponent
};

}  // namespace tavo
