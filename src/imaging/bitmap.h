// The in-memory bitmap every imaging step works on: a device-independent pixel buffer.
//
// Contract:
// - Width() and Height() are >= 0; an empty bitmap is 0 by 0 and owns no pixels.
// - Rows are stored bottom-up, as in a Windows DIB: the first stored row is the
//   bottom row of the picture. Row(y) takes y counted from the top.
// - Every row is Stride() bytes, the row's bit length rounded up to 32 bits;
//   padding bytes are zero.
// - Pixels of 24 and 32 bits are blue, green, red (and a fourth byte) in memory;
//   16-bit pixels are little-endian words; 1, 4 and 8 bits are colour-table
//   indices with the leftmost pixel in the most significant bits of a byte.
// - The Device format stands for the display's own layout. It is stored as the
//   DIB the display's bitmap converts to: BitCount() equals the display depth
//   given to SetDevice (1, 4, 8, 16, 24 or 32), 16 bits hold 5-5-5 pixels, and
//   8 bits or fewer index Palette().
// - Palette() is the colour table for the palette formats (and the Device format
//   at 8 bits or fewer); deeper formats may carry one as an optional palette.
// - Changing the format or the size keeps the palette and discards the pixels
//   (the new storage is zero).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavo {

enum class PixelFormat { Device, Bits1, Bits4, Bits8, Bits15, Bits16, Bits24, Bits32, Custom };

// One colour-table entry, in the byte order of the Windows RGBQUAD.
struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;

    friend bool operator==(const RgbQuad& a, const RgbQuad& b) {
        return a.blue == b.blue && a.green == b.green && a.red == b.red && a.reserved == b.reserved;
    }
    friend bool operator!=(const RgbQuad& a, const RgbQuad& b) { return !(a == b); }
};

inline RgbQuad MakeRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return RgbQuad{blue, green, red, 0};
}

// Channel masks of a 16- or 32-bit pixel; a zero mask is a channel that reads as 0.
struct ChannelMasks {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
};

constexpr ChannelMasks kMasks555{0x7C00, 0x03E0, 0x001F};
constexpr ChannelMasks kMasks565{0xF800, 0x07E0, 0x001F};
constexpr ChannelMasks kMasks888{0x00FF0000, 0x0000FF00, 0x000000FF};

// The largest pixel storage one bitmap may have. It admits a 100-megapixel photo
// at 32 bits per pixel (400 MB) and keeps two such copies within the 4 GiB
// address space of the 32-bit program.
constexpr uint64_t kMaxPixelBytes = 512ull * 1024 * 1024;

// The bit counts a bitmap, and so a display, may have: 1, 4, 8, 16, 24 or 32.
inline bool IsBitmapDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes of one row of `width` pixels at `bitCount` bits, rounded up to 4;
// 0 when the width is negative or the row would not fit in 32 bits.
uint64_t RowStride(int64_t width, int bitCount);

// The format a DIB with this bit count, compression (0 = none, 3 = bit fields)
// and masks is classified as. Standard bit-field layouts count as the plain formats.
PixelFormat ClassifyFormat(int bitCount, uint32_t compression, const ChannelMasks& masks);

// Zero-filled pixel storage. It comes from calloc, which hands out large blocks
// as fresh zero pages without writing them, so a picture that is about to be
// overwritten whole costs no extra pass over its memory.
class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept : data_(other.data_), size_(other.size_) {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    ~PixelBuffer() { Release(); }

    // Replaces the content by `size` zero bytes; false when memory is short.
    bool Allocate(size_t size);
    void Release();
    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

class Bitmap {
public:
    Bitmap() = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    PixelFormat Format() const { return format_; }
    int BitCount() const { return bitCount_; }
    // The display depth a Device bitmap stands for (also kept while the bitmap
    // has another format, so that it can be set back to Device).
    int DeviceBits() const { return deviceBits_; }
    // The channel masks of 16- and 32-bit pixels (standard ones for the plain formats).
    const ChannelMasks& Masks() const { return masks_; }
    size_t Stride() const { return stride_; }

    // Makes this a Device bitmap for a display of `displayBits` bits per pixel.
    void SetDevice(int displayBits);
    // Any format but Device and Custom.
    void SetFormat(PixelFormat format);
    // A custom layout: 16 or 32 bits with arbitrary masks, as a bitmap file may have.
    void SetCustom(int bitCount, const ChannelMasks& masks);

    // Sets both dimensions; throws Error("Out of system resources") when the
    // storage would exceed kMaxPixelBytes or cannot be allocated.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }

    const std::vector<RgbQuad>& Palette() const { return palette_; }
    void SetPalette(std::vector<RgbQuad> palette) { palette_ = std::move(palette); }

    uint8_t* Row(int yFromTop) { return pixels_.data() + RowOffset(yFromTop); }
    const uint8_t* Row(int yFromTop) const { return pixels_.data() + RowOffset(yFromTop); }
    // All rows, bottom row first, as a DIB holds them.
    uint8_t* Bits() { return pixels_.data(); }
    const uint8_t* Bits() const { return pixels_.data(); }
    size_t ImageSize() const { return pixels_.size(); }

private:
    size_t RowOffset(int yFromTop) const { return static_cast<size_t>(height_ - 1 - yFromTop) * stride_; }
    void Reallocate();

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Device;
    int bitCount_ = 32;
    int deviceBits_ = 32;
    ChannelMasks masks_ = kMasks888;
    size_t stride_ = 0;
    std::vector<RgbQuad> palette_;
    PixelBuffer pixels_;
};

// Bits per pixel of a format (Device and Custom have none of their own: 0).
int FormatBitCount(PixelFormat format);

// The display's 256-colour halftone palette: the 20 static system colours, a
// 6x6x6 colour cube and a ramp of greys.
const std::vector<RgbQuad>& HalftonePalette();
// The colours a display of `displayBits` (<= 8) bits shows when no palette is selected.
std::vector<RgbQuad> DisplayColours(int displayBits);
// The colours the indices of a bitmap of 8 bits or fewer stand for: its palette,
// or the display's colours for a Device bitmap that has none of its own.
std::vector<RgbQuad> IndexColours(const Bitmap& bitmap);

}  // namespace tavo
