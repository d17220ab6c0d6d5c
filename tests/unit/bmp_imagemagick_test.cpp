// The bitmap reader on the run-length files ImageMagick writes, against ImageMagick's own decode.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/files.h"
#include "imaging/bmp_reader.h"
#include "support/digest.h"
#include "support/jpeg_maker.h"
#include "support/needs.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

const char kConvert[] = "/usr/bin/convert";

// 40 colours in runs of 9 pixels, so that runs meet the row end anywhere.
std::vector<uint8_t> Ppm(int width, int height) {
    std::string head = "P6 " + std::to_string(width) + " " + std::to_string(height) + " 255\n";
    std::vector<uint8_t> file(head.begin(), head.end());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int c = (x / 9 + y / 5 * 3) % 40;
            file.insert(file.end(), {static_cast<uint8_t>(c * 6), static_cast<uint8_t>(255 - c * 5),
                                     static_cast<uint8_t>(c * 37)});
        }
    return file;
}

void RunTool(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::vector<uint8_t> Read(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

// Palette pictures come out as RLE8 whose runs reach up to 3 pixels past the
// row end when the width is not a multiple of 4.
TEST(BmpImageMagick, RunLengthFilesGiveImageMagicksPixelsOnBothRoads) {
    TAVO_REQUIRE(std::filesystem::exists(kConvert), "ImageMagick's " << kConvert);
    testing::TempDir dir;
    for (int width : {125, 126, 127, 333}) {
        SCOPED_TRACE(width);
        const std::string ppm = dir.File("in.ppm"), bmp = dir.File("out.bmp"), rgb = dir.File("out.rgb");
        testing::WriteBytes(ppm, Ppm(width, 40));
        RunTool(std::string(kConvert) + " '" + ppm + "' -type Palette '" + bmp + "'");
        RunTool(std::string(kConvert) + " '" + bmp + "' -depth 8 'rgb:" + rgb + "'");
        const std::vector<uint8_t> file = Read(bmp);
        ASSERT_GT(file.size(), 34u);
        ASSERT_EQ(file[30], 1) << "not RLE8";
        const Bitmap whole = LoadBmp(file.data(), file.size(), 32);
        EXPECT_TRUE(testing::RgbRows(whole) == Read(rgb));
        const std::unique_ptr<RowSource> rows = OpenBmpRows(file.data(), file.size(), 32);
        for (int y = 0; y < whole.Height(); ++y)
            ASSERT_EQ(std::memcmp(rows->Row(y), whole.Row(y), whole.Stride()), 0) << "row " << y;
    }
}

}  // namespace
}  // namespace tavo
