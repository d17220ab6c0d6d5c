// Stretching one bitmap onto another: nearest neighbour, halftone and the monochrome reduction.
#pragma once

#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/row_source.h"

namespace tavo {

// Copies the whole of `source` onto the whole of `dest`, which already has its
// size, format and palette. `displayBits` is the depth of the display the
// drawing surface belongs to:
// - normally each output pixel takes the colour of one source pixel (nearest
//   neighbour, sampling the centre of the output pixel);
// - on a display of 8 bits or fewer that is shallower than the source, each
//   output pixel takes the average colour of the source area it covers (halftone);
// - a 1-bit source is reduced so that index 0 (black) prevails: all source
//   pixels that fall onto one output pixel are combined with a bitwise AND.
// Palette outputs receive the nearest entry of their own table for each colour.
void StretchBitmap(const Bitmap& source, Bitmap& dest, int displayBits);

// StretchBitmap for a source that hands out its rows in order.
void StretchRows(RowSource& source, Bitmap& dest, int displayBits);

// The source column (or row) that output column `x` of `destSize` samples from
// `sourceSize` under nearest neighbour.
inline int NearestSource(int x, int destSize, int sourceSize) {
    return static_cast<int>((static_cast<int64_t>(2 * x + 1) * sourceSize) /
                            (2 * static_cast<int64_t>(destSize)));
}

// The output index a source index falls onto when `sourceSize` is reduced to `destSize`.
inline int ReducedTarget(int s, int sourceSize, int destSize) {
    return static_cast<int>((static_cast<int64_t>(2 * s + 1) * destSize) /
                            (2 * static_cast<int64_t>(sourceSize)));
}

}  // namespace tavo
