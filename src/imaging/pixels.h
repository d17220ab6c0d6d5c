// Reading and writing single pixels of any bitmap layout as colours.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace tavo {

// Widens the channel that `mask` selects out of `pixel` to 8 bits by rounding
// (x * 255 / (2^n - 1)); a zero mask gives 0.
uint8_t WidenChannel(uint32_t pixel, uint32_t mask);

// Decodes the pixels of one layout into colours. Palette indices beyond the
// table read as black, never outside the table.
class PixelReader {
public:
    explicit PixelReader(const Bitmap& bitmap);
    RgbQuad Read(const uint8_t* row, int x) const;
    // Decodes the whole row into `out` (one entry per pixel).
    void ReadRow(const uint8_t* row, int width, RgbQuad* out) const;

private:
    struct Channel {
        uint32_t mask = 0;
        int shift = 0;
        uint32_t max = 0;
    };
    uint8_t Widen(uint32_t pixel, const Channel& c) const;
    uint32_t RawPixel(const uint8_t* row, int x) const;

    int bitCount_;
    std::vector<RgbQuad> table_;  // always 2^bits entries for the palette formats
    Channel red_, green_, blue_;
};

// Encodes colours into one layout; palette layouts take the first entry of the
// least squared RGB distance (the exact entry when the colour is in the table).
class PixelWriter {
public:
    explicit PixelWriter(const Bitmap& bitmap);
    void Write(uint8_t* row, int x, RgbQuad colour) const;
    // Stores a palette index (layouts of 8 bits or fewer).
    void WriteIndex(uint8_t* row, int x, uint8_t index) const;
    // The palette index for a colour (palette layouts only).
    uint8_t Match(RgbQuad colour) const;
    int BitCount() const { return bitCount_; }

private:
    int bitCount_;
    ChannelMasks masks_;
    std::vector<RgbQuad> table_;
};

// Index of the palette entry nearest to `colour` (first of equals); 0 for an empty palette.
uint8_t NearestIndex(const std::vector<RgbQuad>& palette, RgbQuad colour);

}  // namespace tavo
