// Pixel decoding and encoding for every bitmap layout.
#include "imaging/pixels.h"

namespace tavo {
namespace {

int LowestBit(uint32_t mask) {
    int shift = 0;
    while (shift < 32 && ((mask >> shift) & 1u) == 0)
        ++shift;
    return shift;
}

uint32_t PackChannel(uint8_t value, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = LowestBit(mask);
    const uint64_t max = static_cast<uint64_t>(mask) >> shift;
    // Narrowing by rounding, the inverse of WidenChannel.
    const uint64_t narrowed = (static_cast<uint64_t>(value) * max * 2 + 255) / 510;
    return static_cast<uint32_t>(narrowed << shift) & mask;
}

}  // namespace

uint8_t WidenChannel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = LowestBit(mask);
    const uint64_t max = static_cast<uint64_t>(mask) >> shift;
    const uint64_t value = (static_cast<uint64_t>(pixel) & mask) >> shift;
    // max is odd for contiguous masks, so the quotient is never exactly half-way.
    return static_cast<uint8_t>((value * 510 + max) / (2 * max));
}

PixelReader::PixelReader(const Bitmap& bitmap) : bitCount_(bitmap.BitCount()) {
    if (bitCount_ <= 8) {
        table_.assign(static_cast<size_t>(1) << bitCount_, MakeRgb(0, 0, 0));
        const std::vector<RgbQuad> palette = IndexColours(bitmap);
        for (size_t i = 0; i < palette.size() && i < table_.size(); ++i)
            table_[i] = palette[i];
        return;
    }
    const ChannelMasks& m = bitmap.Masks();
    auto channel = [](uint32_t mask) {
        Channel c;
        c.mask = mask;
        c.shift = mask == 0 ? 0 : LowestBit(mask);
        c.max = mask >> c.shift;
        return c;
    };
    red_ = channel(m.red);
    green_ = channel(m.green);
    blue_ = channel(m.blue);
}

uint8_t PixelReader::Widen(uint32_t pixel, const Channel& c) const {
    if (c.mask == 0) return 0;
    if (c.max == 255) return static_cast<uint8_t>((pixel & c.mask) >> c.shift);
    const uint64_t value = (pixel & c.mask) >> c.shift;
    return static_cast<uint8_t>((value * 510 + c.max) / (2 * static_cast<uint64_t>(c.max)));
}

uint32_t PixelReader::RawPixel(const uint8_t* row, int x) const {
    switch (bitCount_) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
        case 8:
            return row[x];
        case 16:
            return static_cast<uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
        case 24: {
            const uint8_t* p = row + 3 * x;
            return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
        }
        default: {
            const uint8_t* p = row + 4 * static_cast<size_t>(x);
            return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                   (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        }
    }
}

RgbQuad PixelReader::Read(const uint8_t* row, int x) const {
    const uint32_t raw = RawPixel(row, x);
    if (bitCount_ <= 8) return table_[raw];
    if (bitCount_ == 24) return RgbQuad{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    return RgbQuad{Widen(raw, blue_), Widen(raw, green_), Widen(raw, red_), 0};
}

void PixelReader::ReadRow(const uint8_t* row, int width, RgbQuad* out) const {
    for (int x = 0; x < width; ++x)
        out[x] = Read(row, x);
}

uint8_t NearestIndex(const std::vector<RgbQuad>& palette, RgbQuad colour) {
    uint8_t best = 0;
    int bestDistance = 1 << 30;
    const size_t n = palette.size() < 256 ? palette.size() : 256;
    for (size_t i = 0; i < n; ++i) {
        const int dr = palette[i].red - colour.red;
        const int dg = palette[i].green - colour.green;
        const int db = palette[i].blue - colour.blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<uint8_t>(i);
            if (d == 0) break;
        }
    }
    return best;
}

PixelWriter::PixelWriter(const Bitmap& bitmap)
    : bitCount_(bitmap.BitCount()), masks_(bitmap.Masks()), table_(IndexColours(bitmap)) {
    if (bitCount_ <= 8 && table_.size() > (static_cast<size_t>(1) << bitCount_))
        table_.resize(static_cast<size_t>(1) << bitCount_);
}

uint8_t PixelWriter::Match(RgbQuad colour) const {
    return NearestIndex(table_, colour);
}

void PixelWriter::WriteIndex(uint8_t* row, int x, uint8_t index) const {
    switch (bitCount_) {
        case 1: {
            const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
            if (index & 1)
                row[x >> 3] |= bit;
            else
                row[x >> 3] &= static_cast<uint8_t>(~bit);
            return;
        }
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0xF << shift)) | ((index & 0xF) << shift));
            return;
        }
        default:
            row[x] = index;
            return;
    }
}

void PixelWriter::Write(uint8_t* row, int x, RgbQuad c) const {
    switch (bitCount_) {
        case 1:
        case 4:
        case 8:
            WriteIndex(row, x, Match(c));
            return;
        case 24:
            row[3 * x] = c.blue;
            row[3 * x + 1] = c.green;
            row[3 * x + 2] = c.red;
            return;
        default:
            break;
    }
    const uint32_t v = PackChannel(c.red, masks_.red) | PackChannel(c.green, masks_.green) |
                       PackChannel(c.blue, masks_.blue);
    if (bitCount_ == 16) {
        row[2 * x] = static_cast<uint8_t>(v);
        row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        return;
    }
    uint8_t* p = row + 4 * static_cast<size_t>(x);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace tavo
