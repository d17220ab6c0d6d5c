// Reading Windows bitmap files held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/error.h"
#include "imaging/bitmap.h"
#include "imaging/row_source.h"

#include <vector>

namespace tavo {

// Why a bitmap file was refused; what the user sees is the load-failure message.
enum class BmpFault {
    Truncated,
    BadSignature,
    BadHeaderSize,
    BadPlanes,
    BadBitCount,
    BadCompression,
    BadDimensions,
    BadColourTable,
    TooLarge,
    BadRunLength,
    BadImageSize,
};

const char* BmpFaultName(BmpFault fault);

class BmpError : public Error {
public:
    explicit BmpError(BmpFault fault) : Error(BmpFaultName(fault)), fault_(fault) {}
    BmpFault Fault() const { return fault_; }

private:
    BmpFault fault_;
};

// Bytes of pixel storage for `width` by `height` pixels at `bitCount` bits, rows
// padded to 4 bytes; 0 when a dimension is not positive, the product overflows
// or it exceeds kMaxPixelBytes. Files are checked with it before any allocation.
uint64_t PixelStorageBytes(int64_t width, int64_t height, int bitCount);

// Decodes a whole bitmap file. A zero-length file gives an empty bitmap.
// Run-length compressed files become Device bitmaps for a display of
// `displayBits` bits (1, 4, 8, 16, 24 or 32); every other file keeps its own
// layout (see ClassifyFormat) and rows, turned bottom-up, with its colour table
// as the palette. The pixels start at the file header's data offset when that
// lies at or after the colour table and inside the file, else right after the
// table; rows the file does not hold are zero.
// Throws BmpError for every malformed file, pictures too large to hold included
// (refused before anything is allocated), and Error for a run-length file when
// `displayBits` is not a display depth.
Bitmap LoadBmp(const uint8_t* data, size_t size, int displayBits);

// Whether a non-empty bitmap file keeps its rows as they are (no run-length
// compression); throws BmpError when not even its headers can be read.
bool IsPlainBmp(const uint8_t* data, size_t size);

// The rows of a bitmap file without run-length compression, read where the
// file holds them, with the same checks, layout and pixels LoadBmp gives. The
// file's bytes must outlive this object. Throws BmpError as LoadBmp does.
class BmpFileRows : public RowSource {
public:
    BmpFileRows(const uint8_t* data, size_t size);

    const Bitmap& Layout() const override { return layout_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The stored row, padding bits included, which readers of the row ignore.
    const uint8_t* Row(int y) override;

private:
    Bitmap layout_;
    int width_ = 0;
    int height_ = 0;
    bool topDown_ = false;
    size_t stride_ = 0;
    const uint8_t* pixels_ = nullptr;
    size_t available_ = 0;
    std::vector<uint8_t> scratch_;
};

}  // namespace tavo
