// Stretching: nearest neighbour in every layout, halftone averaging, the monochrome reduction.
#include "imaging/stretch.h"

#include <gtest/gtest.h>

#include "imaging/pixels.h"

namespace tavo {
namespace {

Bitmap Make(PixelFormat format, int w, int h, std::vector<RgbQuad> palette = {}) {
    Bitmap b;
    b.SetFormat(format);
    b.SetPalette(std::move(palette));
    b.SetSize(w, h);
    return b;
}

void Fill(Bitmap& b, RgbQuad (*colour)(int, int)) {
    const PixelWriter w(b);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            w.Write(b.Row(y), x, colour(x, y));
}

RgbQuad At(const Bitmap& b, int x, int y) {
    return PixelReader(b).Read(b.Row(y), x);
}

RgbQuad Checker(int x, int y) {
    return MakeRgb(static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 40), (x + y) % 2 ? 255 : 0);
}

TEST(StretchNearest, EqualSizeCopiesEveryLayoutExactly) {
    std::vector<RgbQuad> grey;
    for (int i = 0; i < 256; ++i)
        grey.push_back(MakeRgb(static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0));
    for (PixelFormat f :
         {PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32}) {
        for (int width = 1; width <= 5; ++width) {
            Bitmap src = Make(f, width, 3);
            Fill(src, [](int x, int y) {
                return MakeRgb(static_cast<uint8_t>(x * 64), static_cast<uint8_t>(y * 100), 255);
            });
            Bitmap dst = Make(f, width, 3);
            StretchBitmap(src, dst, 32);
            EXPECT_EQ(std::vector<uint8_t>(dst.Bits(), dst.Bits() + dst.ImageSize()),
                      std::vector<uint8_t>(src.Bits(), src.Bits() + src.ImageSize()))
                << "format " << static_cast<int>(f) << " width " << width;
        }
    }
}

TEST(StretchNearest, EnlargingRepeatsAndReducingDropsPixels) {
    Bitmap src = Make(PixelFormat::Bits24, 3, 2);
    Fill(src, Checker);
    Bitmap big = Make(PixelFormat::Bits24, 6, 4);
    StretchBitmap(src, big, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(At(big, x, y), Checker(x / 2, y / 2)) << x << "," << y;
    Bitmap small = Make(PixelFormat::Bits24, 1, 1);
    StretchBitmap(src, small, 32);
    EXPECT_EQ(At(small, 0, 0), Checker(1, 1));  // the centre of the picture
}

TEST(StretchNearest, PaletteOutputsTakeTheMatchingEntry) {
    Bitmap src = Make(PixelFormat::Bits24, 2, 1);
    Fill(src, [](int x, int) { return x ? MakeRgb(250, 10, 10) : MakeRgb(5, 5, 5); });
    Bitmap dst =
        Make(PixelFormat::Bits4, 2, 1, {MakeRgb(255, 255, 255), MakeRgb(0, 0, 0), MakeRgb(255, 0, 0)});
    StretchBitmap(src, dst, 32);
    EXPECT_EQ(dst.Row(0)[0], 0x12);
}

TEST(StretchHalftone, LowColourDisplayAveragesTheCoveredArea) {
    Bitmap src = Make(PixelFormat::Bits24, 2, 2);
    Fill(src, [](int x, int y) { return (x + y) % 2 ? MakeRgb(200, 100, 0) : MakeRgb(0, 0, 100); });
    Bitmap dst = Make(PixelFormat::Bits24, 1, 1);
    StretchBitmap(src, dst, 8);
    EXPECT_EQ(At(dst, 0, 0), MakeRgb(100, 50, 50));
    // A display as deep as the source keeps nearest neighbour.
    StretchBitmap(src, dst, 24);
    EXPECT_EQ(At(dst, 0, 0), MakeRgb(0, 0, 100));  // the pixel at (1, 1)
}

TEST(StretchMonochrome, TheDarkerTableColourPrevailsWhenReducingWhateverItsIndex) {
    const RgbQuad black = MakeRgb(0, 0, 0), white = MakeRgb(255, 255, 255);
    const RgbQuad navy = MakeRgb(0, 0, 128), yellow = MakeRgb(255, 255, 0);
    const std::vector<RgbQuad> tables[] = {{black, white}, {white, black}, {yellow, navy}, {navy, yellow}};
    for (const std::vector<RgbQuad>& table : tables) {
        const RgbQuad dark = table[0] == white || table[0] == yellow ? table[1] : table[0];
        const RgbQuad light = dark == table[0] ? table[1] : table[0];
        Bitmap src = Make(PixelFormat::Bits1, 4, 2, table);
        const PixelWriter w(src);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                w.Write(src.Row(y), x, x == 3 && y == 1 ? dark : light);
        Bitmap dst = Make(PixelFormat::Bits24, 2, 1);
        StretchBitmap(src, dst, 32);
        EXPECT_EQ(At(dst, 0, 0), light);
        EXPECT_EQ(At(dst, 1, 0), dark);
        Bitmap big = Make(PixelFormat::Bits1, 8, 4, table);
        StretchBitmap(src, big, 32);
        EXPECT_EQ(At(big, 7, 3), dark);
        EXPECT_EQ(At(big, 5, 3), light);
    }
}

TEST(StretchRows, RowsAreAskedForInOrder) {
    class Recorder : public RowSource {
    public:
        explicit Recorder(const Bitmap& b) : b_(b) {}
        const Bitmap& Layout() const override { return b_; }
        int Width() const override { return b_.Width(); }
        int Height() const override { return b_.Height(); }
        const uint8_t* Row(int y) override {
            EXPECT_GE(y, last);
            last = y;
            return b_.Row(y);
        }
        int last = 0;

    private:
        const Bitmap& b_;
    };
    Bitmap src = Make(PixelFormat::Bits24, 7, 13);
    for (int bits : {32, 8}) {
        for (int h : {1, 5, 13, 30}) {
            Recorder rows(src);
            Bitmap dst = Make(PixelFormat::Bits24, 3, h);
            StretchRows(rows, dst, bits);
        }
    }
}

}  // namespace
}  // namespace tavo
