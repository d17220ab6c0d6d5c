// Decoded JPEG pixels against the library's own djpeg, over its test images and files made with cjpeg.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/files.h"
#include "imaging/jpeg_image.h"
#include "imaging/pixels.h"
#include "support/jpeg_maker.h"
#include "support/needs.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

const char kDjpeg[] = "/usr/bin/djpeg";
const char kCjpeg[] = "/usr/bin/cjpeg";

bool HaveTool(const char* path) {
    return std::filesystem::exists(path);
}

std::string TestImage(const char* name) {
    return std::string(TAVO_JPEG_TESTIMAGES) + "/" + name;
}

// A picture as colours, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<RgbQuad> pixels;
};

Picture FromBitmap(const Bitmap& b) {
    Picture p{b.Width(), b.Height(), std::vector<RgbQuad>(static_cast<size_t>(b.Width()) * b.Height())};
    PixelReader reader(b);
    for (int y = 0; y < b.Height(); ++y)
        reader.ReadRow(b.Row(y), b.Width(), &p.pixels[static_cast<size_t>(y) * b.Width()]);
    return p;
}

uint32_t Le(const std::vector<uint8_t>& d, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | d.at(at + static_cast<size_t>(i));
    return v;
}

// djpeg's BMP output: a 40-byte header, bottom-up rows, 24-bit or 8-bit with a colour table.
Picture ReadDjpegBmp(const std::string& path) {
    std::vector<uint8_t> d;
    if (!ReadWholeFile(path, d) || d.size() < 54 || d[0] != 'B' || d[1] != 'M') {
        ADD_FAILURE() << "no bitmap from djpeg: " << path;
        return {};
    }
    const uint32_t offset = Le(d, 10, 4);
    const int width = static_cast<int>(Le(d, 18, 4));
    const int height = static_cast<int>(Le(d, 22, 4));
    const int bits = static_cast<int>(Le(d, 28, 2));
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                const size_t at = row + static_cast<size_t>(x) * 3;
                p.pixels.push_back(MakeRgb(d.at(at + 2), d.at(at + 1), d.at(at)));
            } else {
                const size_t entry = 54 + 4u * d.at(row + static_cast<size_t>(x));
                p.pixels.push_back(MakeRgb(d.at(entry + 2), d.at(entry + 1), d.at(entry)));
            }
        }
    }
    return p;
}

Picture Djpeg(const std::string& options, const std::string& input, const testing::TempDir& dir) {
    const std::string out = dir.File("djpeg.bmp");
    std::remove(out.c_str());
    const std::string command =
        std::string(kDjpeg) + " " + options + " -bmp -outfile '" + out + "' '" + input + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadDjpegBmp(out);
}

void ExpectSamePicture(const Picture& got, const Picture& want, const std::string& what) {
    ASSERT_EQ(got.width, want.width) << what;
    ASSERT_EQ(got.height, want.height) << what;
    size_t differences = 0;
    for (size_t i = 0; i < got.pixels.size(); ++i)
        if (got.pixels[i] != want.pixels[i] && differences++ == 0)
            ADD_FAILURE() << what << ": first difference at pixel " << i % got.width << "," << i / got.width;
    EXPECT_EQ(differences, 0u) << what;
}

// One decoding setup and the djpeg options that give the same output.
struct DecodeSetup {
    const char* name;
    const char* djpegOptions;
    JpegPixelFormat format;
    bool grayscale;
    JpegPerformance performance;
    JpegScale scale;
};

const DecodeSetup kSetups[] = {
    {"24-bit", "", JpegPixelFormat::Bits24, false, JpegPerformance::BestQuality, JpegScale::Full},
    {"8-bit", "-colors 236", JpegPixelFormat::Bits8, false, JpegPerformance::BestQuality, JpegScale::Full},
    {"grey", "-grayscale -colors 236", JpegPixelFormat::Bits24, true, JpegPerformance::BestQuality,
     JpegScale::Full},
    {"fast 8-bit", "-dct fast -onepass -dither ordered -colors 236", JpegPixelFormat::Bits8, false,
     JpegPerformance::BestSpeed, JpegScale::Full},
    {"fast 24-bit", "-dct fast", JpegPixelFormat::Bits24, false, JpegPerformance::BestSpeed, JpegScale::Full},
    {"half", "-scale 1/2", JpegPixelFormat::Bits24, false, JpegPerformance::BestQuality, JpegScale::Half},
    {"quarter", "-scale 1/4", JpegPixelFormat::Bits24, false, JpegPerformance::BestQuality,
     JpegScale::Quarter},
    {"eighth 8-bit", "-scale 1/8 -colors 236", JpegPixelFormat::Bits8, false, JpegPerformance::BestQuality,
     JpegScale::Eighth},
};

Picture Decode(const std::string& path, const DecodeSetup& s) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(path);
    jpeg.SetPixelFormat(s.format);
    jpeg.SetGrayscale(s.grayscale);
    jpeg.SetPerformance(s.performance);
    jpeg.SetScale(s.scale);
    return FromBitmap(jpeg.Decoded());
}

class JpegConformance : public ::testing::Test {
protected:
    void SetUp() override { TAVO_REQUIRE(HaveTool(kDjpeg), kDjpeg << " (package libjpeg-turbo-progs)"); }
    testing::TempDir dir_;
};

TEST_F(JpegConformance, LibraryTestImagesMatchDjpegInEverySetup) {
    TAVO_REQUIRE(std::filesystem::exists(TestImage("testorig.jpg")), TestImage("testorig.jpg"));
    for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgari.jpg"})
        for (const DecodeSetup& s : kSetups)
            ExpectSamePicture(Decode(TestImage(name), s), Djpeg(s.djpegOptions, TestImage(name), dir_),
                              std::string(name) + " " + s.name);
}

TEST_F(JpegConformance, TwelveBitFilesFailCleanly) {
    TAVO_REQUIRE(std::filesystem::exists(TestImage("testorig12.jpg")), TestImage("testorig12.jpg"));
    TJPEGImage jpeg;
    EXPECT_THROW(
        {
            jpeg.LoadFromFile(TestImage("testorig12.jpg"));
            jpeg.Decoded();
        },
        Error);
}

// Writes a binary PPM or PGM of the test pattern.
void WritePnm(const std::string& path, int width, int height, bool grey) {
    const std::vector<uint8_t> rgb = testing::PatternRgb(width, height, 7);
    std::vector<uint8_t> file;
    const std::string header = std::string(grey ? "P5\n" : "P6\n") + std::to_string(width) + " " +
                               std::to_string(height) + "\n255\n";
    file.assign(header.begin(), header.end());
    for (size_t i = 0; i < rgb.size(); i += 3)
        if (grey)
            file.push_back(static_cast<uint8_t>((rgb[i] + 2 * rgb[i + 1] + rgb[i + 2]) / 4));
        else
            file.insert(file.end(), rgb.begin() + static_cast<ptrdiff_t>(i),
                        rgb.begin() + static_cast<ptrdiff_t>(i) + 3);
    testing::WriteBytes(path, file);
}

TEST_F(JpegConformance, CjpegFilesOfEveryLayoutMatchDjpeg) {
    TAVO_REQUIRE(HaveTool(kCjpeg), kCjpeg << " (package libjpeg-turbo-progs)");
    const struct {
        const char* options;
        bool grey;
    } layouts[] = {{"", false},
                   {"-sample 1x1", false},
                   {"-sample 2x1", false},
                   {"-progressive", false},
                   {"-restart 1", false},
                   {"-arithmetic", false},
                   {"-progressive -sample 1x1", false},
                   {"", true},
                   {"-progressive", true}};
    const int sizes[][2] = {{1, 1}, {17, 13}, {64, 48}};
    for (const auto& layout : layouts)
        for (const auto& size : sizes) {
            const std::string pnm = dir_.File(layout.grey ? "in.pgm" : "in.ppm");
            const std::string jpg = dir_.File("in.jpg");
            WritePnm(pnm, size[0], size[1], layout.grey);
            const std::string command = std::string(kCjpeg) + " " + layout.options +
                                        (layout.grey ? " -grayscale" : "") + " -outfile '" + jpg + "' '" +
                                        pnm + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            const std::string what = std::string(layout.options) + (layout.grey ? " grey " : " colour ") +
                                     std::to_string(size[0]) + "x" + std::to_string(size[1]);
            TJPEGImage jpeg;
            jpeg.LoadFromFile(jpg);
            EXPECT_EQ(jpeg.Grayscale(), layout.grey) << what;
            EXPECT_EQ(jpeg.ProgressiveEncoding(), std::string(layout.options).find("-progressive") == 0)
                << what;
            const Bitmap& b = jpeg.Decoded();
            EXPECT_EQ(b.Format(), layout.grey ? PixelFormat::Bits8 : PixelFormat::Bits24) << what;
            ExpectSamePicture(FromBitmap(b), Djpeg(layout.grey ? "-colors 236" : "", jpg, dir_), what);
        }
}

TEST_F(JpegConformance, GreyFilesShowAtMost236GreyLevelsOnA24BitCanvas) {
    TAVO_REQUIRE(HaveTool(kCjpeg), kCjpeg << " (package libjpeg-turbo-progs)");
    // A smooth ramp over all 256 levels, so that the quantizer has to drop some.
    const std::string pgm = dir_.File("ramp.pgm"), jpg = dir_.File("ramp.jpg");
    std::string header = "P5\n256 16\n255\n";
    std::vector<uint8_t> file(header.begin(), header.end());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 256; ++x)
            file.push_back(static_cast<uint8_t>(x));
    testing::WriteBytes(pgm, file);
    ASSERT_EQ(
        std::system((std::string(kCjpeg) + " -quality 100 -outfile '" + jpg + "' '" + pgm + "'").c_str()), 0);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(jpg);
    Bitmap canvas;
    canvas.SetFormat(PixelFormat::Bits24);
    canvas.SetSize(jpeg.Width(), jpeg.Height());
    jpeg.Draw(canvas, 32);
    std::set<int> levels;
    for (const RgbQuad& c : FromBitmap(canvas).pixels) {
        EXPECT_TRUE(c.red == c.green && c.green == c.blue);
        levels.insert(c.red);
    }
    EXPECT_LE(levels.size(), 236u);
    EXPECT_GT(levels.size(), 200u);
}

}  // namespace
}  // namespace tavo
