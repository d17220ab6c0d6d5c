// Fuzz target: any bytes through the JPEG loader and decoder, and the picture preparation's two
// roads (row by row and whole picture first), which must end alike.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "imaging/bmp_writer.h"
#include "imaging/jpeg_image.h"
#include "imaging/jpeg_rows.h"
#include "imaging/prepare.h"

namespace {

// Pictures are decoded only up to these sizes so that one input stays within
// the run's memory and time limits; larger ones exercise the header alone.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 20;
constexpr int64_t kMaxPassByPassPixels = int64_t{1} << 16;
constexpr int64_t kMaxComparedPixels = int64_t{1} << 18;

// The decoder's own settings, from the last byte, which libjpeg never reads
// after the end-of-image marker; a well-formed file (ending in 0xD9) gets the defaults.
void DecodeWithSettings(const uint8_t* data, size_t size, unsigned settings) {
    tavo::TJPEGImage jpeg;
    jpeg.LoadFromBytes(std::vector<uint8_t>(data, data + size));
    const int64_t pixels = int64_t{jpeg.Width()} * jpeg.Height();
    jpeg.SetPixelFormat(settings & 1 ? tavo::JpegPixelFormat::Bits8 : tavo::JpegPixelFormat::Bits24);
    jpeg.SetGrayscale((settings & 2) != 0);
    jpeg.SetPerformance(settings & 4 ? tavo::JpegPerformance::BestSpeed : tavo::JpegPerformance::BestQuality);
    jpeg.SetProgressiveDisplay((settings & 8) != 0);
    jpeg.SetScale(static_cast<tavo::JpegScale>((settings >> 4) & 3));
    jpeg.SetSmoothing((settings & 64) == 0);
    if (pixels > ((settings & 8) ? kMaxPassByPassPixels : kMaxDecodedPixels)) return;
    jpeg.Decoded();
}

struct Outcome {
    bool loaded = false;
    std::string error;
    std::vector<uint8_t> file;
};

Outcome Prepare(const std::string& path, int targetWidth, int targetHeight, const tavo::PrepareContext& base,
                bool fullDecode) {
    tavo::PrepareContext context = base;
    context.fullDecode = fullDecode;
    Outcome o;
    std::unique_ptr<tavo::Bitmap> result;
    try {
        o.loaded = tavo::PrepareWallpaperBitmap(targetWidth, targetHeight, result, path, context);
    } catch (const tavo::Error& e) {
        o.error = e.what();
    }
    if (result) o.file = tavo::EncodeBmpFile(*result);
    return o;
}

const std::string& InputPath() {
    static const std::string path = [] {
        char folder[] = "/tmp/fuzz_jpeg.XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        return std::string(folder) + "/input.jpg";
    }();
    return path;
}

// Both roads at a target smaller and one larger than the picture.
void CompareRoads(const uint8_t* data, size_t size, unsigned settings, int width, int height) {
    const std::string& path = InputPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();
    tavo::PrepareContext context;
    context.screenWidth = 1024;
    context.displayBits = settings & 1 ? 8 : 32;
    context.options.colourDepth = settings & 2 ? 1 : 0;
    context.options.zoom = true;
    context.options.proportional = (settings & 4) != 0;
    const int targets[][2] = {{width / 3 + 1, height / 5 + 1}, {width + 7, height + 3}};
    for (const auto& t : targets) {
        const Outcome streamed = Prepare(path, t[0], t[1], context, false);
        const Outcome whole = Prepare(path, t[0], t[1], context, true);
        if (streamed.loaded != whole.loaded || streamed.error != whole.error || streamed.file != whole.file) {
            std::fprintf(stderr, "roads differ at %dx%d: loaded %d/%d, error '%s'/'%s', %zu/%zu bytes\n",
                         t[0], t[1], streamed.loaded, whole.loaded, streamed.error.c_str(),
                         whole.error.c_str(), streamed.file.size(), whole.file.size());
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const unsigned settings = size > 0 ? data[size - 1] ^ 0xD9u : 0;
    try {
        DecodeWithSettings(data, size, settings);
    } catch (const tavo::Error&) {
    }
    // Pictures too large for a whole decode are what the row-by-row road is
    // for; the roads are compared below that.
    int width = 0, height = 0;
    try {
        const std::vector<uint8_t> bytes(data, data + size);
        const tavo::JpegRows rows(bytes);
        width = rows.Width();
        height = rows.Height();
    } catch (const tavo::Error&) {
    }
    if (!tavo::JpegSizeAcceptable(width, height) || int64_t{width} * height > kMaxComparedPixels) return 0;
    CompareRoads(data, size, settings, width, height);
    return 0;
}
