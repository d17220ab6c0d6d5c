// Row-by-row JPEG preparation gives exactly the bytes of the whole-picture decode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "imaging/bmp_writer.h"
#include "imaging/prepare.h"
#include "support/jpeg_maker.h"
#include "support/needs.h"
#include "support/prepare_recorder.h"
#include "support/temp_dir.h"

namespace tavo {
namespace {

using testing::JpegMakeOptions;

struct Picture {
    const char* name;
    int width, height;
    JpegMakeOptions options;
};

JpegMakeOptions Sampling(int h, int v) {
    JpegMakeOptions o;
    o.hSampling = h;
    o.vSampling = v;
    return o;
}
JpegMakeOptions Progressive(int h, int v) {
    JpegMakeOptions o = Sampling(h, v);
    o.progressive = true;
    return o;
}
JpegMakeOptions Restarts() {
    JpegMakeOptions o;
    o.restartRows = 1;
    return o;
}
JpegMakeOptions Grey(bool progressive = false) {
    JpegMakeOptions o;
    o.grayscale = true;
    o.progressive = progressive;
    return o;
}
JpegMakeOptions Cmyk(bool ycck) {
    JpegMakeOptions o;
    o.cmyk = true;
    o.ycck = ycck;
    return o;
}

const Picture kPictures[] = {
    {"s420", 333, 250, Sampling(2, 2)},
    {"s422", 333, 250, Sampling(2, 1)},
    {"s440", 301, 257, Sampling(1, 2)},
    {"s444", 300, 200, Sampling(1, 1)},
    {"s411", 333, 250, Sampling(4, 1)},
    {"tall420", 37, 611, Sampling(2, 2)},
    {"tiny", 1, 1, Sampling(2, 2)},
    {"odd", 17, 13, Sampling(2, 2)},
    {"prog420", 333, 250, Progressive(2, 2)},
    {"prog444", 250, 190, Progressive(1, 1)},
    {"restarts", 320, 240, Restarts()},
    {"grey", 333, 250, Grey()},
    {"greyProgressive", 210, 170, Grey(true)},
    {"cmyk", 120, 90, Cmyk(false)},
    {"ycck", 120, 90, Cmyk(true)},
};

struct Setting {
    const char* name;
    int targetW, targetH, screenW, displayBits, colourDepth;
    bool shrink, zoom, proportional;
};

const Setting kSettings[] = {
    {"wallpaper", 160, 120, 160, 32, 0, true, false, true},
    {"wallpaperZoom", 1000, 700, 1000, 32, 1, true, true, true},
    {"wallpaperStretched", 97, 301, 97, 32, 0, true, true, false},
    {"preview", 200, 150, 1024, 32, 0, true, false, true},
    {"previewNoOptions", 200, 150, 640, 32, 1, false, false, true},
    {"noDepthChoice", 150, 100, 150, 16, -1, true, false, true},
    {"halftone", 150, 100, 150, 8, 0, true, false, true},
    {"halftoneDevice", 150, 100, 150, 4, -1, true, true, true},
};

std::vector<uint8_t> Pixels(const Picture& p) {
    std::vector<uint8_t> rgb = testing::PatternRgb(p.width, p.height, 7);
    if (p.options.grayscale) {
        std::vector<uint8_t> grey;
        for (size_t i = 0; i < rgb.size(); i += 3)
            grey.push_back(static_cast<uint8_t>((rgb[i] + rgb[i + 1] * 2 + rgb[i + 2]) / 4));
        return grey;
    }
    if (p.options.cmyk) {
        std::vector<uint8_t> cmyk;
        for (size_t i = 0; i < rgb.size(); i += 3) {
            cmyk.insert(cmyk.end(), {rgb[i], rgb[i + 1], rgb[i + 2], static_cast<uint8_t>(255 - rgb[i] / 2)});
        }
        return cmyk;
    }
    return rgb;
}

struct Outcome {
    bool loaded = false;
    std::string error;
    std::vector<uint8_t> file;
    std::vector<std::string> status;
    std::vector<std::string> messages;
};

Outcome Prepare(const std::string& path, const Setting& s, bool fullDecode) {
    testing::PrepareRecorder seen;
    PrepareContext c;
    c.options = PrepareOptions{s.colourDepth, s.shrink, s.zoom, s.proportional};
    c.displayBits = s.displayBits;
    c.screenWidth = s.screenW;
    seen.Attach(c);
    c.fullDecode = fullDecode;
    Outcome o;
    std::unique_ptr<Bitmap> result;
    try {
        o.loaded = PrepareWallpaperBitmap(s.targetW, s.targetH, result, path, c);
    } catch (const Error& e) {
        o.error = e.what();
    }
    o.file = EncodeBmpFile(*result);
    o.status = seen.status;
    o.messages = seen.failures;
    return o;
}

TEST(PrepareStreamed, EveryPictureAndSettingMatchesTheWholeDecode) {
    testing::TempDir dir;
    for (const Picture& p : kPictures) {
        const std::string path = dir.File(std::string(p.name) + ".jpg");
        testing::WriteBytes(path, testing::MakeJpeg(p.width, p.height, Pixels(p), p.options));
        for (const Setting& s : kSettings) {
            SCOPED_TRACE(std::string(p.name) + " / " + s.name);
            const Outcome streamed = Prepare(path, s, false);
            const Outcome whole = Prepare(path, s, true);
            EXPECT_TRUE(streamed.loaded);
            EXPECT_EQ(streamed.error, whole.error);
            EXPECT_EQ(streamed.status, whole.status);
            ASSERT_EQ(streamed.file.size(), whole.file.size());
            EXPECT_TRUE(streamed.file == whole.file);
        }
    }
}

// Every luma sampling layout the compressor accepts (at most 10 blocks per
// MCU with chroma at 1x1), baseline and progressive, wide and narrow enough
// for the library's plain upsamplers, at the preview ratio and at a wide, flat
// target that skips many rows at a time.
TEST(PrepareStreamed, EverySamplingLayoutMatchesTheWholeDecode) {
    testing::TempDir dir;
    const Setting settings[] = {
        {"preview", 200, 150, 1024, 32, 0, true, false, true},
        {"wideFlat", 700, 61, 700, 32, 0, true, false, false},
    };
    for (int h = 1; h <= 4; ++h)
        for (int v = 1; v <= 4; ++v)
            for (bool progressive : {false, true})
                for (int width : {4, 243}) {
                    if (h * v + 2 > 10) continue;
                    const Picture p{"layout", width, 301, progressive ? Progressive(h, v) : Sampling(h, v)};
                    const std::string path = dir.File("layout.jpg");
                    testing::WriteBytes(path, testing::MakeJpeg(p.width, p.height, Pixels(p), p.options));
                    for (const Setting& s : settings) {
                        SCOPED_TRACE(std::to_string(h) + "x" + std::to_string(v) +
                                     (progressive ? " progressive " : " ") + std::to_string(width) + " " +
                                     s.name);
                        const Outcome streamed = Prepare(path, s, false);
                        const Outcome whole = Prepare(path, s, true);
                        EXPECT_TRUE(streamed.loaded);
                        EXPECT_TRUE(streamed.file == whole.file);
                    }
                }
}

// How tavowall-prepare ends for an outcome: 0 written, 1 not loaded, 2 error.
int ExitCode(const Outcome& o) {
    return !o.error.empty() ? 2 : o.loaded ? 0 : 1;
}

// Each way a JPEG file can fail ends alike on both roads: the same status
// texts, message, error and exit code.
TEST(PrepareStreamed, EveryFailureClassEndsAlikeOnBothRoads) {
    testing::TempDir dir;
    const std::vector<uint8_t> good = testing::MakeJpeg(96, 64, testing::PatternRgb(96, 64));
    const std::vector<uint8_t> progressive =
        testing::MakeJpeg(96, 64, testing::PatternRgb(96, 64), Progressive(1, 1));
    JpegMakeOptions two;
    two.unknownComponents = 2;
    const std::vector<uint8_t> twoComponents =
        testing::MakeJpeg(16, 16, std::vector<uint8_t>(16 * 16 * 2, 99), two);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int exitCode;
    };
    const Case cases[] = {
        {"missing", {}, 1},
        {"pipe", {}, 1},
        {"notJpeg", {'h', 'e', 'l', 'l', 'o'}, 1},
        {"headerCut", std::vector<uint8_t>(good.begin(), good.begin() + 200), 1},
        {"bodyCut", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), 0},
        {"twoComponents", twoComponents, 1},
        {"tooManyPixels", testing::WithDeclaredSize(good, 65000, 65000), 1},
        {"coefficientsTooLarge", testing::WithDeclaredSize(progressive, 20000, 20000), 1},
        {"coefficientsTooLargeOnly", testing::WithDeclaredSize(progressive, 10000, 10000), 1},
        {"empty", {}, 2},
    };
    const Setting preview{"preview", 200, 150, 1024, 32, 0, true, false, true};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(std::string(c.name) + ".jpg");
        if (std::string(c.name) == "pipe")
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        else if (std::string(c.name) != "missing")
            testing::WriteBytes(path, c.bytes);
        const Outcome streamed = Prepare(path, preview, false);
        const Outcome whole = Prepare(path, preview, true);
        EXPECT_EQ(ExitCode(streamed), c.exitCode) << streamed.error;
        EXPECT_EQ(ExitCode(whole), c.exitCode) << whole.error;
        EXPECT_EQ(streamed.error, whole.error);
        EXPECT_EQ(streamed.messages, whole.messages);
        EXPECT_EQ(streamed.status, whole.status);
        EXPECT_TRUE(streamed.file == whole.file);
    }
}

TEST(PrepareStreamed, DamagedTailStillEndsInTheDecoderError) {
    testing::TempDir dir;
    std::vector<uint8_t> jpeg = testing::MakeJpeg(64, 640, testing::PatternRgb(64, 640), Progressive(2, 2));
    const std::string path = dir.File("damaged.jpg");
    testing::WriteBytes(path, testing::WithoutQuantTables(jpeg));
    const Setting preview{"preview", 200, 150, 1024, 32, 0, true, false, true};
    const Outcome streamed = Prepare(path, preview, false);
    const Outcome whole = Prepare(path, preview, true);
    EXPECT_EQ(streamed.error.rfind("JPEG error #", 0), 0u) << streamed.error;
    EXPECT_EQ(streamed.error, whole.error);
    EXPECT_TRUE(streamed.file.empty());
    EXPECT_EQ(streamed.status, whole.status);
}

TEST(PrepareStreamed, TruncatedFilesGiveTheSameBytes) {
    testing::TempDir dir;
    for (bool progressive : {false, true}) {
        std::vector<uint8_t> jpeg = testing::MakeJpeg(200, 300, testing::PatternRgb(200, 300),
                                                      progressive ? Progressive(2, 2) : Sampling(2, 2));
        jpeg.resize(jpeg.size() * 2 / 3);
        const std::string path = dir.File(progressive ? "cutp.jpg" : "cut.jpg");
        testing::WriteBytes(path, jpeg);
        for (const Setting& s : kSettings) {
            SCOPED_TRACE(std::string(s.name) + (progressive ? " progressive" : ""));
            const Outcome streamed = Prepare(path, s, false);
            const Outcome whole = Prepare(path, s, true);
            EXPECT_EQ(streamed.error, whole.error);
            EXPECT_TRUE(streamed.file == whole.file);
        }
    }
}

TEST(PrepareStreamed, LoadFailuresKeepTheirMessage) {
    testing::TempDir dir;
    const std::string path = dir.File("not a picture.jpg");
    testing::WriteBytes(path, {'h', 'e', 'l', 'l', 'o'});
    testing::PrepareRecorder seen;
    PrepareContext c;
    c.screenWidth = 1024;
    seen.Attach(c);
    std::unique_ptr<Bitmap> result;
    EXPECT_FALSE(PrepareWallpaperBitmap(1024, 768, result, path, c));
    ASSERT_EQ(seen.failures.size(), 1u);
    EXPECT_EQ(seen.failures[0], "Error reading file: " + path);
    EXPECT_TRUE(result->Empty());
}

}  // namespace
}  // namespace tavo

namespace tavo {
namespace {

// Every file of the bitmap conformance suite, through both roads.
TEST(PrepareStreamed, BitmapFilesReadInPlaceMatchTheWholeLoad) {
    const std::string suite = std::string(TAVO_TEST_DATA) + "/bmpsuite";
    std::vector<std::string> files;
    for (const char* folder : {"g", "q", "b", "x"}) {
        const std::string dir = suite + "/" + folder;
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            files.push_back(entry.path().string());
    }
    TAVO_REQUIRE(!files.empty(), "the BMP Suite files at " << suite);
    const Setting settings[] = {
        {"wallpaper", 200, 100, 200, 32, 0, true, true, true},
        {"preview", 200, 150, 1024, 32, 1, true, false, true},
        {"halftone", 60, 40, 60, 8, -1, true, false, false},
    };
    for (const std::string& path : files) {
        for (const Setting& s : settings) {
            SCOPED_TRACE(path + " / " + s.name);
            const Outcome streamed = Prepare(path, s, false);
            const Outcome whole = Prepare(path, s, true);
            EXPECT_EQ(streamed.loaded, whole.loaded);
            EXPECT_EQ(streamed.error, whole.error);
            EXPECT_EQ(streamed.status, whole.status);
            EXPECT_TRUE(streamed.file == whole.file);
        }
    }
}

}  // namespace
}  // namespace tavo
