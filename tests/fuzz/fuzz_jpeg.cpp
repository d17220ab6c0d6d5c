// Fuzz target: any bytes through the JPEG loader and, when the header is accepted, the decoder.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/error.h"
#include "imaging/jpeg_image.h"
#include "imaging/jpeg_rows.h"
#include "imaging/stretch.h"

namespace {

// Pictures are decoded only up to these sizes so that one input stays within
// the run's memory and time limits; larger ones exercise the header alone.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 20;
constexpr int64_t kMaxPassByPassPixels = int64_t{1} << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The settings come from the last byte, which libjpeg never reads after the
    // end-of-image marker; a well-formed file (ending in 0xD9) gets the defaults.
    const unsigned settings = size > 0 ? data[size - 1] ^ 0xD9u : 0;
    try {
        tavo::TJPEGImage jpeg;
        jpeg.LoadFromBytes(std::vector<uint8_t>(data, data + size));
        const int64_t pixels = int64_t{jpeg.Width()} * jpeg.Height();
        jpeg.SetPixelFormat(settings & 1 ? tavo::JpegPixelFormat::Bits8 : tavo::JpegPixelFormat::Bits24);
        jpeg.SetGrayscale((settings & 2) != 0);
        jpeg.SetPerformance(settings & 4 ? tavo::JpegPerformance::BestSpeed
                                         : tavo::JpegPerformance::BestQuality);
        jpeg.SetProgressiveDisplay((settings & 8) != 0);
        jpeg.SetScale(static_cast<tavo::JpegScale>((settings >> 4) & 3));
        jpeg.SetSmoothing((settings & 64) == 0);
        if (pixels > ((settings & 8) ? kMaxPassByPassPixels : kMaxDecodedPixels)) return 0;
        jpeg.Decoded();
    } catch (const tavo::Error&) {
    }
    // The row-by-row road of the picture preparation, sampling a few rows.
    try {
        const std::vector<uint8_t> bytes(data, data + size);
        tavo::JpegRows rows(bytes);
        if (int64_t{rows.Width()} * rows.Height() > kMaxDecodedPixels) return 0;
        rows.Start();
        tavo::Bitmap out;
        out.SetFormat(tavo::PixelFormat::Bits24);
        out.SetSize(rows.Width() > 0 ? 1 + rows.Width() / 7 : 0,
                    rows.Height() > 0 ? 1 + rows.Height() / 5 : 0);
        tavo::StretchRows(rows, out, settings & 1 ? 8 : 32);
        rows.Finish();
    } catch (const tavo::Error&) {
    }
    return 0;
}
