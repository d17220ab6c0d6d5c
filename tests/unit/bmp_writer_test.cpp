// The bitmap file writer: header fields, tables, masks, row order and the all-or-nothing write.
#include "imaging/bmp_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/error.h"
#include "base/files.h"
#include "imaging/pixels.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

uint32_t U32(const std::vector<uint8_t>& f, size_t at) {
    return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (static_cast<uint32_t>(f[at + 3]) << 24);
}
uint32_t U16(const std::vector<uint8_t>& f, size_t at) {
    return f[at] | (f[at + 1] << 8);
}

Bitmap Make(PixelFormat format, int w, int h) {
    Bitmap b;
    b.SetFormat(format);
    b.SetSize(w, h);
    return b;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(BmpWriter, TrueColourScreenSizedFile) {
    const std::vector<uint8_t> f = EncodeBmpFile(Make(PixelFormat::Bits24, 1024, 768));
    ASSERT_EQ(f.size(), 2359350u);
    EXPECT_EQ(U16(f, 0), 0x4D42u);
    EXPECT_EQ(U32(f, 2), 2359350u);
    EXPECT_EQ(U32(f, 10), 54u);
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(U32(f, 18), 1024u);
    EXPECT_EQ(U32(f, 22), 768u);
    EXPECT_EQ(U16(f, 26), 1u);
    EXPECT_EQ(U16(f, 28), 24u);
    EXPECT_EQ(U32(f, 30), 0u);
    EXPECT_EQ(U32(f, 34), 3072u * 768u);
    EXPECT_EQ(U32(f, 46), 0u);
}

TEST(BmpWriter, RowsArePaddedWithZeroAndStoredBottomUp) {
    Bitmap b = Make(PixelFormat::Bits24, 1023, 2);
    const PixelWriter w(b);
    for (int x = 0; x < 1023; ++x) {
        w.Write(b.Row(0), x, MakeRgb(255, 255, 255));
        w.Write(b.Row(1), x, MakeRgb(1, 2, 3));
    }
    const std::vector<uint8_t> f = EncodeBmpFile(b);
    ASSERT_EQ(f.size(), 54u + 2 * 3072u);
    // The first stored row is the bottom one.
    EXPECT_EQ(f[54], 3);
    EXPECT_EQ(f[55], 2);
    EXPECT_EQ(f[56], 1);
    for (size_t pad = 54 + 3069; pad < 54 + 3072; ++pad)
        EXPECT_EQ(f[pad], 0);
    EXPECT_EQ(f[54 + 3072], 255);
}

TEST(BmpWriter, PaletteFormatsWriteAFullTable) {
    Bitmap b;
    b.SetFormat(PixelFormat::Bits8);
    b.SetPalette({MakeRgb(10, 20, 30), MakeRgb(40, 50, 60)});
    b.SetSize(3, 1);
    const std::vector<uint8_t> f = EncodeBmpFile(b);
    EXPECT_EQ(U32(f, 46), 256u);
    EXPECT_EQ(U32(f, 10), 1078u);
    EXPECT_EQ(f[54], 30);
    EXPECT_EQ(f[55], 20);
    EXPECT_EQ(f[56], 10);
    EXPECT_EQ(f[58], 60);
    EXPECT_EQ(U32(f, 62), 0u);
    const std::vector<uint8_t> mono = EncodeBmpFile(Make(PixelFormat::Bits1, 13, 1));
    EXPECT_EQ(U32(mono, 46), 2u);
    EXPECT_EQ(U32(mono, 34), 4u);
    EXPECT_EQ(U32(EncodeBmpFile(Make(PixelFormat::Bits4, 13, 1)), 34), 8u);
}

TEST(BmpWriter, SixteenBitLayouts) {
    const std::vector<uint8_t> f565 = EncodeBmpFile(Make(PixelFormat::Bits16, 2, 2));
    EXPECT_EQ(U32(f565, 30), 3u);
    EXPECT_EQ(U32(f565, 54), 0xF800u);
    EXPECT_EQ(U32(f565, 58), 0x07E0u);
    EXPECT_EQ(U32(f565, 62), 0x001Fu);
    EXPECT_EQ(U32(f565, 10), 66u);
    const std::vector<uint8_t> f555 = EncodeBmpFile(Make(PixelFormat::Bits15, 2, 2));
    EXPECT_EQ(U32(f555, 30), 0u);
    EXPECT_EQ(U32(f555, 10), 54u);
    EXPECT_EQ(U16(f555, 28), 16u);
}

TEST(BmpWriter, DeeperBitmapsWriteTheirOptionalPalette) {
    Bitmap b = Make(PixelFormat::Bits24, 2, 2);
    b.SetPalette(HalftonePalette());
    const std::vector<uint8_t> f = EncodeBmpFile(b);
    EXPECT_EQ(U32(f, 46), 256u);
    EXPECT_EQ(U32(f, 10), 54u + 1024u);
}

TEST(BmpWriter, DeviceBitmapsWriteAsTheDisplaysDepth) {
    Bitmap b;
    b.SetDevice(8);
    b.SetSize(2, 2);
    const std::vector<uint8_t> f = EncodeBmpFile(b);
    EXPECT_EQ(U16(f, 28), 8u);
    EXPECT_EQ(U32(f, 46), 256u);
    b.SetDevice(16);
    b.SetSize(2, 2);
    EXPECT_EQ(U32(EncodeBmpFile(b), 30), 0u);
}

TEST(SaveBitmapToFile, EmptyBitmapGivesAZeroLengthFile) {
    testing::TempDir dir;
    const std::string path = dir.File("Tavo Wallpaper.bmp");
    SaveBitmapToFile(Make(PixelFormat::Bits24, 4, 4), path);
    SaveBitmapToFile(Bitmap(), path);
    EXPECT_TRUE(ReadFile(path).empty());
}

TEST(SaveBitmapToFile, FailureLeavesThePreviousFileAndSaysWhichFile) {
    testing::TempDir dir;
    const std::string missingFolder = dir.File("no such folder/Tavo Wallpaper.bmp");
    try {
        SaveBitmapToFile(Make(PixelFormat::Bits24, 4, 4), missingFolder);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missingFolder);
    }
    const std::string path = dir.File("Tavo Wallpaper.bmp");
    const Bitmap first = Make(PixelFormat::Bits24, 4, 4);
    SaveBitmapToFile(first, path);
    SaveBitmapToFile(Make(PixelFormat::Bits32, 8, 8), path);
    EXPECT_EQ(ReadFile(path).size(), 54u + 256u);
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());
}

}  // namespace
}  // namespace tavo
