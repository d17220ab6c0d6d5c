// Preparing pictures: the sizing rules, the file-type rule and the roads through loading and conversion.
#include "imaging/prepare.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "imaging/bmp_writer.h"
#include "imaging/pixels.h"
#include "support/jpeg_maker.h"
#include "support/prepare_recorder.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

using testing::PrepareRecorder;
using testing::TempDir;

struct SizeCase {
    const char* name;
    int targetW, targetH, screenW, srcW, srcH;
    bool shrink, zoom, proportional;
    int outW, outH;
};

const SizeCase kSizeCases[] = {
    // The worked examples: screen 1024 wide, preview 200 by 150.
    {"preview800SmallerNoZoom", 200, 150, 1024, 800, 600, true, false, true, 156, 117},
    {"preview800Zoom", 200, 150, 1024, 800, 600, false, true, true, 200, 150},
    {"preview2048Shrink", 200, 150, 1024, 2048, 1536, true, false, true, 200, 150},
    {"preview2048NoOptions", 200, 150, 1024, 2048, 1536, false, false, true, 400, 300},
    {"wallpaper1600x1200", 1024, 768, 1024, 1600, 1200, true, false, true, 1024, 768},
    {"wallpaper1600x900", 1024, 768, 1024, 1600, 900, true, false, true, 1024, 576},
    {"wallpaper640ZoomNotProportional", 1024, 768, 1024, 640, 480, false, true, false, 1024, 768},
    {"wallpaper1024x500EqualWidthNoZoom", 1024, 768, 1024, 1024, 500, false, true, true, 1024, 500},
    // The ratio applies only below the screen width.
    {"targetEqualsScreenNoRatio", 1024, 768, 1024, 300, 200, false, false, true, 300, 200},
    {"targetOneBelowScreenRatio", 1023, 768, 1024, 1024, 1024, false, false, true, 1023, 1023},
    {"exactTargetAllOptions", 1024, 768, 1024, 1024, 768, true, true, true, 1024, 768},
    {"widerNotTallerShrinks", 1024, 768, 1024, 2048, 700, true, false, true, 1024, 350},
    {"smallerInOneEqualInOtherNoZoom", 1024, 768, 1024, 500, 768, true, true, true, 500, 768},
    {"shrinkOffKeepsEffectiveSize", 200, 150, 1024, 4096, 4096, false, true, true, 800, 800},
    // The ratio 200 / 1152 as a double, times 1152 in extended precision, stays below 200.
    {"preview1152OnItsScreen", 200, 150, 1152, 1152, 864, true, false, true, 199, 149},
    // Halves go to the even neighbour: 1 x 2.5 gives 2, 1 x 3.5 gives 4.
    {"roundHalfDown", 5, 100, 5, 2, 1, true, true, true, 5, 2},
    {"roundHalfUp", 7, 100, 7, 2, 1, true, true, true, 7, 4},
    // A miniature of no height has no ratio: no resize.
    {"zeroHeightMiniature", 200, 150, 1024, 800, 3, true, true, true, 156, 0},
    {"zeroHeightMiniatureNotProportional", 200, 150, 1024, 800, 3, true, true, false, 200, 150},
};

class OutputSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(OutputSizeTest, FollowsTheSizingRules) {
    const SizeCase& c = GetParam();
    PrepareOptions o;
    o.shrink = c.shrink;
    o.zoom = c.zoom;
    o.proportional = c.proportional;
    const OutputSize s = ComputeOutputSize(c.targetW, c.targetH, c.screenW, c.srcW, c.srcH, o);
    EXPECT_EQ(s.width, c.outW);
    EXPECT_EQ(s.height, c.outH);
}

INSTANTIATE_TEST_SUITE_P(Cases, OutputSizeTest, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsJpegPath, OnlyTheUpperCasedExtensionJpgCounts) {
    EXPECT_TRUE(IsJpegPath("C:\\pics\\a.JPG"));
    EXPECT_TRUE(IsJpegPath("C:\\pics\\a.jpg"));
    EXPECT_TRUE(IsJpegPath("C:\\pics\\a.Jpg"));
    EXPECT_TRUE(IsJpegPath("a.b.jpg"));
    EXPECT_FALSE(IsJpegPath("C:\\pics\\a.jpeg"));
    EXPECT_FALSE(IsJpegPath("C:\\pics\\a.jpe"));
    EXPECT_FALSE(IsJpegPath("C:\\pics.jpg\\photo"));
    EXPECT_FALSE(IsJpegPath("C:\\pics.old\\photo"));
    EXPECT_FALSE(IsJpegPath("a.jpg:stream"));
    EXPECT_FALSE(IsJpegPath("photo"));
    EXPECT_FALSE(IsJpegPath("a.jpg "));
    // UTF-8 names (Greek, Chinese, an emoji): only the ASCII letters are upper-cased, so a full-width
    // "jpg" or a g with breve is no "G".
    EXPECT_TRUE(IsJpegPath("C:\\pics\\\xCE\x98\xCE\xAC\xCE\xBB\xCE\xB1\xCF\x83\xCF\x83\xCE\xB1.jpg"));
    EXPECT_TRUE(IsJpegPath("C:\\\xE7\x85\xA7\xE7\x89\x87\\\xE5\xB1\xB1\xE6\xB0\xB4.Jpg"));
    EXPECT_TRUE(IsJpegPath("C:\\pics\\\xF0\x9F\x8C\x85.JPG"));
    EXPECT_FALSE(IsJpegPath("C:\\pics\\a.\xEF\xBD\x8A\xEF\xBD\x90\xEF\xBD\x87"));
    EXPECT_FALSE(IsJpegPath("C:\\pics\\a.jp\xC4\x9F"));
}

class PrepareTest : public ::testing::Test {
protected:
    PrepareContext Context(int colourDepth = 0) {
        PrepareContext c;
        c.options.colourDepth = colourDepth;
        c.displayBits = 32;
        c.screenWidth = 1024;
        seen.Attach(c);
        return c;
    }

    std::string WriteBitmap(const std::string& name, const Bitmap& b) {
        const std::string path = dir.File(name);
        SaveBitmapToFile(b, path);
        return path;
    }

    static Bitmap Gradient(PixelFormat format, int w, int h) {
        Bitmap b;
        b.SetFormat(format);
        if (format == PixelFormat::Bits8) {
            std::vector<RgbQuad> table;
            for (int i = 0; i < 256; ++i)
                table.push_back(MakeRgb(static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7));
            b.SetPalette(table);
        }
        b.SetSize(w, h);
        const PixelWriter writer(b);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                writer.Write(b.Row(y), x,
                             format == PixelFormat::Bits8
                                 ? MakeRgb(static_cast<uint8_t>((x + y) & 255),
                                           static_cast<uint8_t>(255 - ((x + y) & 255)), 7)
                                 : MakeRgb(static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5), 99));
        return b;
    }

    TempDir dir;
    PrepareRecorder seen;
};

TEST_F(PrepareTest, MissingFileShowsTheLoadFailureAndLeavesAnEmptyDeviceBitmap) {
    std::unique_ptr<Bitmap> result;
    const std::string path = dir.File("missing.bmp");
    EXPECT_FALSE(PrepareWallpaperBitmap(1024, 768, result, path, Context()));
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->Empty());
    EXPECT_EQ(result->Format(), PixelFormat::Device);
    ASSERT_EQ(seen.failures.size(), 1u);
    EXPECT_EQ(seen.failures[0], "Error reading file: " + path);
    EXPECT_EQ(seen.status, std::vector<std::string>{"Loading BMP..."});
}

TEST_F(PrepareTest, PictureOfTheTargetSizeIsCopiedUnchanged) {
    const Bitmap picture = Gradient(PixelFormat::Bits24, 1024, 768);
    std::unique_ptr<Bitmap> result;
    PrepareContext c = Context(1);
    c.options.zoom = true;
    ASSERT_TRUE(PrepareWallpaperBitmap(1024, 768, result, WriteBitmap("exact.bmp", picture), c));
    EXPECT_EQ(result->Format(), PixelFormat::Bits24);
    EXPECT_EQ(EncodeBmpFile(*result), EncodeBmpFile(picture));
    EXPECT_EQ(seen.status, (std::vector<std::string>{"Loading BMP...", "Resampling..."}));
    EXPECT_TRUE(seen.failures.empty());
}

TEST_F(PrepareTest, DontChangeKeepsAnEightBitSourceAndItsColourTable) {
    const Bitmap picture = Gradient(PixelFormat::Bits8, 64, 48);
    std::unique_ptr<Bitmap> result;
    ASSERT_TRUE(PrepareWallpaperBitmap(1024, 768, result, WriteBitmap("pal.bmp", picture), Context(0)));
    EXPECT_EQ(result->Format(), PixelFormat::Bits8);
    EXPECT_EQ(result->Palette(), picture.Palette());
    EXPECT_EQ(EncodeBmpFile(*result), EncodeBmpFile(picture));
}

TEST_F(PrepareTest, NoColourDepthItemLeavesTheDeviceFormat) {
    std::unique_ptr<Bitmap> result;
    ASSERT_TRUE(PrepareWallpaperBitmap(
        1024, 768, result, WriteBitmap("a.bmp", Gradient(PixelFormat::Bits24, 8, 8)), Context(-1)));
    EXPECT_EQ(result->Format(), PixelFormat::Device);
    EXPECT_EQ(result->BitCount(), 32);
    EXPECT_EQ(result->Width(), 8);
}

TEST_F(PrepareTest, ZeroLengthBitmapFileIsALoadedEmptyPicture) {
    const std::string path = dir.File("empty.bmp");
    testing::WriteBytes(path, {});
    std::unique_ptr<Bitmap> result;
    EXPECT_TRUE(PrepareWallpaperBitmap(1024, 768, result, path, Context()));
    EXPECT_TRUE(result->Empty());
    EXPECT_TRUE(seen.failures.empty());
    EXPECT_EQ(seen.status, (std::vector<std::string>{"Loading BMP...", "Resampling..."}));
}

TEST_F(PrepareTest, JpegTakesTheJpegRoadAndComesOut24Bit) {
    const std::string path = dir.File("photo.Jpg");
    testing::WriteBytes(path, testing::MakeJpeg(40, 30, testing::PatternRgb(40, 30)));
    std::unique_ptr<Bitmap> result;
    ASSERT_TRUE(PrepareWallpaperBitmap(200, 150, result, path, Context(0)));
    EXPECT_EQ(result->Format(), PixelFormat::Bits24);
    EXPECT_EQ(result->Width(), 7);  // 40 x 200 / 1024, cut toward zero
    EXPECT_EQ(result->Height(), 5);
    EXPECT_EQ(seen.status, (std::vector<std::string>{"Loading JPEG...", "Converting...", "Resampling..."}));
}

TEST_F(PrepareTest, JpegContentNamedJpegTakesTheBitmapRoadAndFails) {
    const std::string path = dir.File("photo.jpeg");
    testing::WriteBytes(path, testing::MakeJpeg(8, 8, testing::PatternRgb(8, 8)));
    std::unique_ptr<Bitmap> result;
    EXPECT_FALSE(PrepareWallpaperBitmap(200, 150, result, path, Context()));
    ASSERT_EQ(seen.failures.size(), 1u);
    EXPECT_EQ(seen.failures[0], "Error reading file: " + path);
}

TEST_F(PrepareTest, FileThatIsNoJpegFailsAtLoadOnTheJpegRoad) {
    const std::string path = dir.File("fake.jpg");
    testing::WriteBytes(path, {'B', 'M', 0, 0, 0, 0});
    std::unique_ptr<Bitmap> result;
    EXPECT_FALSE(PrepareWallpaperBitmap(200, 150, result, path, Context()));
    EXPECT_EQ(seen.failures.size(), 1u);
    EXPECT_EQ(seen.status, std::vector<std::string>{"Loading JPEG..."});
}

TEST_F(PrepareTest, CorruptJpegBodyLeavesWithTheDecoderError) {
    const std::string path = dir.File("broken.jpg");
    testing::WriteBytes(path,
                        testing::WithoutQuantTables(testing::MakeJpeg(16, 16, testing::PatternRgb(16, 16))));
    std::unique_ptr<Bitmap> result;
    try {
        PrepareWallpaperBitmap(1024, 768, result, path, Context());
        FAIL() << "expected a decoder error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u) << e.what();
    }
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->Empty());
    EXPECT_TRUE(seen.failures.empty());
    EXPECT_EQ(seen.status, (std::vector<std::string>{"Loading JPEG...", "Converting..."}));
}

TEST_F(PrepareTest, DontChangeWithACustomLayoutIsAnInvalidPixelFormat) {
    Bitmap custom;
    custom.SetCustom(32, ChannelMasks{0xFF000000u, 0x00000FF0u, 0x00FF0000u});
    custom.SetSize(4, 4);
    const std::string path = WriteBitmap("custom.bmp", custom);
    std::unique_ptr<Bitmap> result;
    EXPECT_THROW(
        {
            try {
                PrepareWallpaperBitmap(1024, 768, result, path, Context(0));
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), "Invalid pixel format");
                throw;
            }
        },
        Error);
    std::unique_ptr<Bitmap> converted;
    EXPECT_TRUE(PrepareWallpaperBitmap(1024, 768, converted, path, Context(1)));
    EXPECT_EQ(converted->Format(), PixelFormat::Bits24);
}

TEST_F(PrepareTest, LowColourDisplayGivesADeeperSourceTheHalftonePalette) {
    PrepareContext c = Context(0);
    c.displayBits = 8;
    std::unique_ptr<Bitmap> result;
    ASSERT_TRUE(PrepareWallpaperBitmap(1024, 768, result,
                                       WriteBitmap("deep.bmp", Gradient(PixelFormat::Bits24, 8, 8)), c));
    EXPECT_EQ(result->Format(), PixelFormat::Bits24);
    EXPECT_EQ(result->Palette(), HalftonePalette());
}

}  // namespace
}  // namespace tavo
