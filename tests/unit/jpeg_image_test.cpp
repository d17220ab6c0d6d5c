// The JPEG picture: loading, settings, decoding rules, CMYK, hostile files and failures.
#include "imaging/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "base/error.h"
#include "imaging/pixels.h"
#include "support/jpeg_maker.h"
#include "support/temp_dir.h"

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace tavo {
namespace {

using testing::JpegMakeOptions;
using testing::MakeJpeg;
using testing::PatternRgb;

std::vector<uint8_t> ColourJpeg(int width, int height, JpegMakeOptions options = {}) {
    return MakeJpeg(width, height, PatternRgb(width, height), options);
}

std::vector<uint8_t> GreyJpeg(int width, int height, JpegMakeOptions options = {}) {
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<uint8_t>(i * 7 % 256);
    options.grayscale = true;
    return MakeJpeg(width, height, grey, options);
}

// Any pixel layout as colours, rows from the top.
std::vector<RgbQuad> Colours(const Bitmap& b) {
    std::vector<RgbQuad> out(static_cast<size_t>(b.Width()) * b.Height());
    PixelReader reader(b);
    for (int y = 0; y < b.Height(); ++y)
        reader.ReadRow(b.Row(y), b.Width(), &out[static_cast<size_t>(y) * b.Width()]);
    return out;
}

void ExpectJpegError(const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u) << e.what();
    }
}

// A file compressed from raw components in any colour space, for layouts
// that the usual tools do not write (CMYK, YCCK, two or five components).
std::vector<uint8_t> CompressComponents(int width, int height, int components, J_COLOR_SPACE in,
                                        J_COLOR_SPACE stored, bool adobeMarker,
                                        const std::vector<uint8_t>& px) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = in;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, stored);
    jpeg_set_quality(&c, 100, TRUE);
    for (int i = 0; i < c.num_components; ++i)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    c.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
    // More than four components cannot share one scan: one scan each.
    std::vector<jpeg_scan_info> scans(static_cast<size_t>(components));
    if (components > 4) {
        for (int i = 0; i < components; ++i)
            scans[static_cast<size_t>(i)] = {1, {i, 0, 0, 0}, 0, 63, 0, 0};
        c.scan_info = scans.data();
        c.num_scans = components;
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(px.data() + static_cast<size_t>(c.next_scanline) * width * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

TEST(JpegDefaults, OutputFormatFollowsTheDisplayDepth) {
    EXPECT_EQ(JpegDefaults::ForDisplay(4).pixelFormat, JpegPixelFormat::Bits8);
    EXPECT_EQ(JpegDefaults::ForDisplay(8).pixelFormat, JpegPixelFormat::Bits8);
    EXPECT_EQ(JpegDefaults::ForDisplay(16).pixelFormat, JpegPixelFormat::Bits24);
    const JpegDefaults d = JpegDefaults::ForDisplay(32);
    EXPECT_EQ(d.pixelFormat, JpegPixelFormat::Bits24);
    EXPECT_EQ(d.quality, 90);
    EXPECT_TRUE(d.smoothing);
    EXPECT_FALSE(d.grayscale);
    EXPECT_EQ(d.scale, JpegScale::Full);
    EXPECT_EQ(d.performance, JpegPerformance::BestQuality);
    EXPECT_FALSE(d.progressiveDisplay);
}

TEST(JpegSizeAcceptable, TheTwentyFourBitPictureMustFitTheStorageLimit) {
    const uint64_t stride = RowStride(16384, 24);
    const int64_t rows = static_cast<int64_t>(kMaxPixelBytes / stride);
    EXPECT_TRUE(JpegSizeAcceptable(16384, rows));
    EXPECT_FALSE(JpegSizeAcceptable(16384, rows + 1));
    EXPECT_TRUE(JpegSizeAcceptable(1, 1));
    EXPECT_FALSE(JpegSizeAcceptable(65535, 65535));
    EXPECT_FALSE(JpegSizeAcceptable(-1, 10));
}

TEST(JpegLoad, ReadsTheHeaderAndDecodesOnlyWhenAsked) {
    TJPEGImage jpeg;
    EXPECT_TRUE(jpeg.Empty());
    jpeg.LoadFromBytes(ColourJpeg(17, 13));
    EXPECT_FALSE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 17);
    EXPECT_EQ(jpeg.Height(), 13);
    EXPECT_FALSE(jpeg.Grayscale());
    EXPECT_FALSE(jpeg.ProgressiveEncoding());
    EXPECT_TRUE(jpeg.PaletteModified());
    const Bitmap& b = jpeg.Decoded();
    EXPECT_EQ(b.Format(), PixelFormat::Bits24);
    EXPECT_EQ(b.Width(), 17);
    EXPECT_EQ(b.Height(), 13);
    EXPECT_EQ(&jpeg.Decoded(), &b);  // kept, not decoded again
}

TEST(JpegLoad, RecordsGrayscaleAndProgressiveFiles) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(GreyJpeg(8, 8));
    EXPECT_TRUE(jpeg.Grayscale());
    JpegMakeOptions progressive;
    progressive.progressive = true;
    jpeg.LoadFromBytes(ColourJpeg(8, 8, progressive));
    EXPECT_FALSE(jpeg.Grayscale());
    EXPECT_TRUE(jpeg.ProgressiveEncoding());
}

TEST(JpegLoad, ReadsFilesAndRefusesMissingOnes) {
    testing::TempDir dir;
    testing::WriteBytes(dir.File("a.jpg"), ColourJpeg(5, 3));
    TJPEGImage jpeg;
    jpeg.LoadFromFile(dir.File("a.jpg"));
    EXPECT_EQ(jpeg.Width(), 5);
    EXPECT_THROW(jpeg.LoadFromFile(dir.File("missing.jpg")), Error);
    EXPECT_TRUE(jpeg.Empty());
}

TEST(JpegLoad, ZeroLengthLoadsButFailsWhenDrawn) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes({});
    EXPECT_FALSE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_EQ(jpeg.Height(), 0);
    ExpectJpegError([&] { jpeg.Decoded(); });
    Bitmap canvas;
    canvas.SetFormat(PixelFormat::Bits24);
    ExpectJpegError([&] { jpeg.Draw(canvas, 32); });
}

TEST(JpegLoad, RefusesFilesThatAreNotJpegOrEndBeforeTheImage) {
    TJPEGImage jpeg;
    const std::vector<uint8_t> bmp = {'B', 'M', 0x36, 0, 0, 0, 0, 0, 0, 0};
    ExpectJpegError([&] { jpeg.LoadFromBytes(bmp); });
    EXPECT_TRUE(jpeg.Empty());
    std::vector<uint8_t> head = ColourJpeg(16, 16);
    head.resize(40);  // inside the tables, before the frame header
    ExpectJpegError([&] { jpeg.LoadFromBytes(head); });
}

TEST(JpegLoad, RefusesComponentCountsOtherThanOneThreeOrFour) {
    for (int components : {2, 5}) {
        std::vector<uint8_t> px(8 * 8 * static_cast<size_t>(components), 100);
        const auto file = CompressComponents(8, 8, components, JCS_UNKNOWN, JCS_UNKNOWN, false, px);
        TJPEGImage jpeg;
        EXPECT_THROW(jpeg.LoadFromBytes(file), Error) << components;
    }
}

// Overwrites the frame size in the SOF0 header.
std::vector<uint8_t> WithFrameSize(std::vector<uint8_t> file, int width, int height) {
    for (size_t i = 0; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = static_cast<uint8_t>(height >> 8);
            file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8);
            file[i + 8] = static_cast<uint8_t>(width);
            return file;
        }
    ADD_FAILURE() << "no frame header";
    return file;
}

TEST(JpegLoad, RefusesPicturesTooLargeToHold) {
    TJPEGImage jpeg;
    EXPECT_THROW(jpeg.LoadFromBytes(WithFrameSize(ColourJpeg(8, 8), 65000, 65000)), Error);
    jpeg.LoadFromBytes(WithFrameSize(ColourJpeg(8, 8), 10000, 10000));  // 300 MB: accepted
    EXPECT_EQ(jpeg.Width(), 10000);
}

TEST(JpegDecode, DataEndingEarlyDecodesWithoutAnError) {
    std::vector<uint8_t> file = ColourJpeg(64, 48);
    file.resize(file.size() * 2 / 3);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(file);
    const Bitmap& b = jpeg.Decoded();
    EXPECT_EQ(b.Width(), 64);
    EXPECT_EQ(b.Height(), 48);
}

TEST(JpegDecode, CorruptDataFailsAndLeavesNothingDecoded) {
    JpegMakeOptions progressive;
    progressive.progressive = true;
    std::vector<uint8_t> file = ColourJpeg(16, 16, progressive);
    // The header ends at the first scan; a broken second scan shows only when decoding.
    int scans = 0;
    for (size_t i = 2; i + 4 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA && ++scans == 2) {
            file[i + 4] = 9;  // component count that does not match the segment length
            break;
        }
    ASSERT_EQ(scans, 2);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(file);
    ExpectJpegError([&] { jpeg.Decoded(); });
    ExpectJpegError([&] { jpeg.Decoded(); });  // tried again, fails again
}

TEST(JpegDecode, PixelFormatSettingControlsQuantization) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(ColourJpeg(32, 24));
    EXPECT_FALSE(jpeg.SetPixelFormat(JpegPixelFormat::Bits24));
    EXPECT_EQ(jpeg.Decoded().Format(), PixelFormat::Bits24);
    EXPECT_TRUE(jpeg.SetPixelFormat(JpegPixelFormat::Bits8));
    EXPECT_TRUE(jpeg.PaletteModified());
    const Bitmap& b = jpeg.Decoded();
    EXPECT_EQ(b.Format(), PixelFormat::Bits8);
    EXPECT_GT(b.Palette().size(), 1u);
    EXPECT_LE(b.Palette().size(), 236u);
    EXPECT_EQ(b.Width(), 32);
}

TEST(JpegDecode, GrayscaleComesOutAsEightBitGreys) {
    for (bool forced : {false, true}) {
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(forced ? ColourJpeg(40, 30) : GreyJpeg(40, 30));
        jpeg.SetGrayscale(forced);
        const Bitmap& b = jpeg.Decoded();
        ASSERT_EQ(b.Format(), PixelFormat::Bits8);
        ASSERT_LE(b.Palette().size(), 236u);
        for (const RgbQuad& c : b.Palette()) {
            EXPECT_EQ(c.red, c.green);
            EXPECT_EQ(c.green, c.blue);
        }
    }
}

TEST(JpegDecode, ScaledSizesAgreeBeforeAndAfterDecoding) {
    const struct {
        JpegScale scale;
        int width, height;
    } cases[] = {{JpegScale::Full, 17, 13},
                 {JpegScale::Half, 9, 7},
                 {JpegScale::Quarter, 5, 4},
                 {JpegScale::Eighth, 3, 2}};
    for (const auto& c : cases) {
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(ColourJpeg(17, 13));
        jpeg.SetScale(c.scale);
        EXPECT_EQ(jpeg.Width(), c.width);
        EXPECT_EQ(jpeg.Height(), c.height);
        const Bitmap& b = jpeg.Decoded();
        EXPECT_EQ(b.Width(), c.width);
        EXPECT_EQ(b.Height(), c.height);
    }
}

TEST(JpegDecode, ChangingASettingDecodesAgain) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(ColourJpeg(16, 16));
    EXPECT_EQ(jpeg.Decoded().Width(), 16);
    jpeg.SetScale(JpegScale::Half);
    EXPECT_EQ(jpeg.Width(), 8);
    EXPECT_EQ(jpeg.Decoded().Width(), 8);
    jpeg.SetPerformance(JpegPerformance::BestSpeed);
    jpeg.SetSmoothing(false);
    EXPECT_EQ(jpeg.Decoded().Width(), 8);
}

TEST(JpegDecode, ProgressiveDisplayEndsWithTheSamePicture) {
    JpegMakeOptions progressive;
    progressive.progressive = true;
    const auto file = ColourJpeg(33, 21, progressive);
    TJPEGImage plain, passes;
    plain.LoadFromBytes(file);
    passes.LoadFromBytes(file);
    passes.SetProgressiveDisplay(true);
    EXPECT_EQ(Colours(passes.Decoded()), Colours(plain.Decoded()));
}

TEST(JpegDraw, CopiesAtEqualSizeAndStretchesOtherwise) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(ColourJpeg(12, 10));
    Bitmap same;
    same.SetFormat(PixelFormat::Bits24);
    same.SetSize(12, 10);
    jpeg.Draw(same, 32);
    EXPECT_EQ(Colours(same), Colours(jpeg.Decoded()));
    Bitmap twice;
    twice.SetFormat(PixelFormat::Bits24);
    twice.SetSize(24, 20);
    jpeg.Draw(twice, 32);
    EXPECT_EQ(PixelReader(twice).Read(twice.Row(19), 23), PixelReader(same).Read(same.Row(9), 11));
}

TEST(JpegImage, ReleaseDropsEverythingAndTheSizeIsFixed) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(ColourJpeg(4, 4));
    jpeg.Decoded();
    jpeg.Release();
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
    try {
        jpeg.SetSize(8, 8);
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot change the size of a JPEG image");
    }
}

// Flat 8x8 blocks of four CMYK colours, so that compression barely changes them.
std::vector<uint8_t> CmykBlocks() {
    const uint8_t colours[4][4] = {{0, 0, 0, 0}, {255, 128, 0, 64}, {30, 200, 90, 255}, {255, 255, 255, 255}};
    std::vector<uint8_t> px(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            std::copy(colours[(y / 8) * 2 + x / 8], colours[(y / 8) * 2 + x / 8] + 4, &px[(y * 16 + x) * 4]);
    return px;
}

int Ink(int a, int b) {
    return (a * b + 127) / 255;
}

void ExpectCmykConverted(const Bitmap& b, const std::vector<uint8_t>& px, bool inverted) {
    ASSERT_EQ(b.Format(), PixelFormat::Bits24);
    PixelReader reader(b);
    for (int y = 4; y < 16; y += 8)
        for (int x = 4; x < 16; x += 8) {
            const uint8_t* p = &px[(y * 16 + x) * 4];
            int c = p[0], m = p[1], yl = p[2], k = p[3];
            if (!inverted) c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
            const RgbQuad got = reader.Read(b.Row(y), x);
            EXPECT_NEAR(got.red, Ink(c, k), 3) << x << "," << y;
            EXPECT_NEAR(got.green, Ink(m, k), 3) << x << "," << y;
            EXPECT_NEAR(got.blue, Ink(yl, k), 3) << x << "," << y;
        }
}

TEST(JpegCmyk, AdobeFilesHoldInvertedInksOthersPlainOnes) {
    const auto px = CmykBlocks();
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(CompressComponents(16, 16, 4, JCS_CMYK, JCS_CMYK, true, px));
    ExpectCmykConverted(jpeg.Decoded(), px, true);
    jpeg.LoadFromBytes(CompressComponents(16, 16, 4, JCS_CMYK, JCS_CMYK, false, px));
    ExpectCmykConverted(jpeg.Decoded(), px, false);
    jpeg.LoadFromBytes(CompressComponents(16, 16, 4, JCS_CMYK, JCS_YCCK, true, px));
    ExpectCmykConverted(jpeg.Decoded(), px, true);
}

TEST(JpegCmyk, QuantizedOutputHasAConvertedPalette) {
    const auto px = CmykBlocks();
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(CompressComponents(16, 16, 4, JCS_CMYK, JCS_CMYK, true, px));
    jpeg.SetPixelFormat(JpegPixelFormat::Bits8);
    const Bitmap& b = jpeg.Decoded();
    ASSERT_EQ(b.Format(), PixelFormat::Bits8);
    EXPECT_LE(b.Palette().size(), 236u);
    // Pure white (no ink) and full black lie on the quantizer's grid.
    EXPECT_EQ(PixelReader(b).Read(b.Row(0), 0), MakeRgb(0, 0, 0));
    EXPECT_EQ(PixelReader(b).Read(b.Row(15), 15), MakeRgb(255, 255, 255));
    jpeg.SetGrayscale(true);
    for (const RgbQuad& c : jpeg.Decoded().Palette())
        EXPECT_TRUE(c.red == c.green && c.green == c.blue);
}

// A progressive file whose last scan is repeated until it has `scans` scans.
std::vector<uint8_t> WithScans(int scans) {
    JpegMakeOptions options;
    options.progressive = true;
    const auto base = GreyJpeg(8, 8, options);
    size_t lastScan = 0;
    int count = 0;
    for (size_t i = 0; i + 1 < base.size(); ++i)
        if (base[i] == 0xFF && base[i + 1] == 0xDA) lastScan = i, ++count;
    std::vector<uint8_t> file(base.begin(), base.end() - 2);
    const std::vector<uint8_t> scan(base.begin() + static_cast<ptrdiff_t>(lastScan), base.end() - 2);
    for (; count < scans; ++count)
        file.insert(file.end(), scan.begin(), scan.end());
    file.push_back(0xFF);
    file.push_back(0xD9);
    return file;
}

TEST(JpegHostile, AThousandScansDecodeOneMoreIsCorrupt) {
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(WithScans(1000));
    EXPECT_EQ(jpeg.Decoded().Width(), 8);
    jpeg.LoadFromBytes(WithScans(1001));
    ExpectJpegError([&] { jpeg.Decoded(); });
    jpeg.SetProgressiveDisplay(true);
    ExpectJpegError([&] { jpeg.Decoded(); });
}

}  // namespace
}  // namespace tavo
