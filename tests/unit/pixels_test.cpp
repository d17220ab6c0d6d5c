// Channel widening and palette matching of single pixels.
#include "imaging/pixels.h"

#include <gtest/gtest.h>

namespace tavo {
namespace {

TEST(WidenChannel, RoundsToTheNearestEightBitValue) {
    EXPECT_EQ(WidenChannel(0x1F, 0x1F), 255);
    EXPECT_EQ(WidenChannel(0, 0x1F), 0);
    EXPECT_EQ(WidenChannel(1, 0x1F), 8);     // 255 / 31 = 8.23
    EXPECT_EQ(WidenChannel(16, 0x1F), 132);  // 131.6
    EXPECT_EQ(WidenChannel(0x07E0, 0x07E0), 255);
    EXPECT_EQ(WidenChannel(0x3FF << 20, 0x3FF00000u), 255);
    EXPECT_EQ(WidenChannel(0xFFFF, 0), 0);
}

TEST(HalftonePalette, HasTwoHundredFiftySixEntriesStartingWithTheStaticColours) {
    const auto& p = HalftonePalette();
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[0], MakeRgb(0, 0, 0));
    EXPECT_EQ(p[19], MakeRgb(255, 255, 255));
    EXPECT_EQ(NearestIndex(p, MakeRgb(51, 102, 153)), 20 + 1 * 36 + 2 * 6 + 3);
}

TEST(PixelWriter, PalettesTakeTheFirstOfEqualEntries) {
    Bitmap b;
    b.SetFormat(PixelFormat::Bits8);
    b.SetPalette({MakeRgb(10, 10, 10), MakeRgb(200, 0, 0), MakeRgb(200, 0, 0)});
    PixelWriter w(b);
    EXPECT_EQ(w.Match(MakeRgb(200, 0, 0)), 1);
    EXPECT_EQ(w.Match(MakeRgb(0, 0, 0)), 0);
}

TEST(PixelReader, IndicesBeyondTheTableReadAsBlack) {
    Bitmap b;
    b.SetFormat(PixelFormat::Bits8);
    b.SetPalette({MakeRgb(255, 255, 255)});
    b.SetSize(2, 1);
    b.Row(0)[1] = 200;
    PixelReader r(b);
    EXPECT_EQ(r.Read(b.Row(0), 0), MakeRgb(255, 255, 255));
    EXPECT_EQ(r.Read(b.Row(0), 1), MakeRgb(0, 0, 0));
}

TEST(PixelRoundTrip, EveryLayoutKeepsColoursItCanHold) {
    const PixelFormat formats[] = {PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
                                   PixelFormat::Bits32};
    for (PixelFormat f : formats) {
        Bitmap b;
        b.SetFormat(f);
        b.SetSize(3, 1);
        PixelWriter w(b);
        PixelReader r(b);
        const RgbQuad c = MakeRgb(255, 0, 255);
        w.Write(b.Row(0), 2, c);
        EXPECT_EQ(r.Read(b.Row(0), 2), c);
        EXPECT_EQ(r.Read(b.Row(0), 0), MakeRgb(0, 0, 0));
    }
}

}  // namespace
}  // namespace tavo
