// A picture handed out one row at a time, and the rows of a bitmap held whole.
#pragma once

#include <cstdint>

#include "imaging/bitmap.h"

namespace tavo {

// Rows of a source picture handed to the stretcher one at a time, top row
// first. Callers ask for rows in an order where y never decreases; the same row
// may be asked for again. Rows that are never asked for need not be produced.
class RowSource {
public:
    virtual ~RowSource() = default;
    // Size, format, masks and palette of the rows (the pixels of this bitmap are not used).
    virtual const Bitmap& Layout() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Row y counted from the top, Layout()'s stride wide at least.
    virtual const uint8_t* Row(int y) = 0;
};

// The rows of a bitmap held whole in memory.
class BitmapRows : public RowSource {
public:
    explicit BitmapRows(const Bitmap& bitmap) : bitmap_(bitmap) {}
    const Bitmap& Layout() const override { return bitmap_; }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    const uint8_t* Row(int y) override { return bitmap_.Row(y); }

private:
    const Bitmap& bitmap_;
};

}  // namespace tavo
