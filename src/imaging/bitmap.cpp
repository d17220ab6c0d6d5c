// Bitmap storage, pixel-format classification and the display's standard colours.
#include "imaging/bitmap.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"

namespace tavo {
namespace {

bool SameMasks(const ChannelMasks& a, const ChannelMasks& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Device bitmaps deeper than 8 bits are held in the layout they convert to.
ChannelMasks DeviceMasks(int bits) {
    return bits == 16 ? kMasks555 : kMasks888;
}

}  // namespace

uint64_t RowStride(int64_t width, int bitCount) {
    if (width < 0 || bitCount <= 0) return 0;
    const uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount);
    const uint64_t stride = (bits + 31) / 32 * 4;
    return stride > 0xFFFFFFFFull ? 0 : stride;
}

PixelFormat ClassifyFormat(int bitCount, uint32_t compression, const ChannelMasks& masks) {
    switch (bitCount) {
        case 1:
            return PixelFormat::Bits1;
        case 4:
            return PixelFormat::Bits4;
        case 8:
            return PixelFormat::Bits8;
        case 24:
            return PixelFormat::Bits24;
        case 16:
            if (compression == 0 || SameMasks(masks, kMasks555)) return PixelFormat::Bits15;
            return SameMasks(masks, kMasks565) ? PixelFormat::Bits16 : PixelFormat::Custom;
        case 32:
            if (compression == 0 || SameMasks(masks, kMasks888)) return PixelFormat::Bits32;
            return PixelFormat::Custom;
        default:
            return PixelFormat::Custom;
    }
}

int FormatBitCount(PixelFormat format) {
    switch (format) {
        case PixelFormat::Bits1:
            return 1;
        case PixelFormat::Bits4:
            return 4;
        case PixelFormat::Bits8:
            return 8;
        case PixelFormat::Bits15:
        case PixelFormat::Bits16:
            return 16;
        case PixelFormat::Bits24:
            return 24;
        case PixelFormat::Bits32:
            return 32;
        default:
            return 0;
    }
}

void Bitmap::SetDevice(int displayBits) {
    format_ = PixelFormat::Device;
    deviceBits_ = displayBits;
    bitCount_ = displayBits;
    masks_ = DeviceMasks(displayBits);
    Reallocate();
}

void Bitmap::SetFormat(PixelFormat format) {
    if (format == PixelFormat::Device) {
        SetDevice(deviceBits_);
        return;
    }
    format_ = format;
    bitCount_ = FormatBitCount(format);
    masks_ = format == PixelFormat::Bits15   ? kMasks555
             : format == PixelFormat::Bits16 ? kMasks565
                                             : kMasks888;
    Reallocate();
}

void Bitmap::SetCustom(int bitCount, const ChannelMasks& masks) {
    format_ = PixelFormat::Custom;
    bitCount_ = bitCount;
    masks_ = masks;
    Reallocate();
}

void Bitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw Error("Invalid bitmap size");
    width_ = width;
    height_ = height;
    Reallocate();
}

PixelBuffer::PixelBuffer(const PixelBuffer& other) {
    if (other.size_ == 0) return;
    if (!Allocate(other.size_)) throw Error("Out of system resources");
    std::memcpy(data_, other.data_, size_);
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    if (this != &other) *this = PixelBuffer(other);
    return *this;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

bool PixelBuffer::Allocate(size_t size) {
    Release();
    if (size == 0) return true;
    data_ = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!data_) return false;
    size_ = size;
    return true;
}

void PixelBuffer::Release() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

void Bitmap::Reallocate() {
    pixels_.Release();
    stride_ = 0;
    if (width_ == 0 || height_ == 0) return;
    const uint64_t stride = RowStride(width_, bitCount_);
    const uint64_t total = stride * static_cast<uint64_t>(height_);
    if (stride == 0 || total > kMaxPixelBytes || !pixels_.Allocate(static_cast<size_t>(total))) {
        width_ = height_ = 0;
        throw Error("Out of system resources");
    }
    stride_ = static_cast<size_t>(stride);
}

namespace {

// The 16 colours of the standard VGA palette, in their usual order.
const RgbQuad kVga[16] = {
    MakeRgb(0, 0, 0),       MakeRgb(128, 0, 0),   MakeRgb(0, 128, 0),   MakeRgb(128, 128, 0),
    MakeRgb(0, 0, 128),     MakeRgb(128, 0, 128), MakeRgb(0, 128, 128), MakeRgb(192, 192, 192),
    MakeRgb(128, 128, 128), MakeRgb(255, 0, 0),   MakeRgb(0, 255, 0),   MakeRgb(255, 255, 0),
    MakeRgb(0, 0, 255),     MakeRgb(255, 0, 255), MakeRgb(0, 255, 255), MakeRgb(255, 255, 255)};

// The 20 static colours of an 8-bit display: the first and last ten entries of its palette.
std::vector<RgbQuad> StaticColours() {
    std::vector<RgbQuad> p(kVga, kVga + 8);
    p.push_back(MakeRgb(192, 220, 192));
    p.push_back(MakeRgb(166, 202, 240));
    p.push_back(MakeRgb(255, 251, 240));
    p.push_back(MakeRgb(160, 160, 164));
    p.insert(p.end(), kVga + 8, kVga + 16);
    return p;
}

}  // namespace

const std::vector<RgbQuad>& HalftonePalette() {
    static const std::vector<RgbQuad> palette = [] {
        std::vector<RgbQuad> p = StaticColours();
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p.push_back(MakeRgb(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                        static_cast<uint8_t>(b * 51)));
        // Greys between the cube's own (the multiples of 51).
        for (int i = 1; p.size() < 256; ++i) {
            const int v = i * 255 / 24;
            if (v % 51 == 0) continue;
            p.push_back(MakeRgb(static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v)));
        }
        return p;
    }();
    return palette;
}

std::vector<RgbQuad> DisplayColours(int displayBits) {
    if (displayBits <= 1) return {MakeRgb(0, 0, 0), MakeRgb(255, 255, 255)};
    if (displayBits <= 4) return std::vector<RgbQuad>(kVga, kVga + 16);
    return HalftonePalette();
}

std::vector<RgbQuad> IndexColours(const Bitmap& bitmap) {
    if (bitmap.Palette().empty() && bitmap.Format() == PixelFormat::Device && bitmap.BitCount() <= 8)
        return DisplayColours(bitmap.BitCount());
    return bitmap.Palette();
}

}  // namespace tavo
