// The libjpeg plumbing shared by the JPEG image and the streamed JPEG rows: error manager,
// in-memory source, decompression object, decoding parameters and row conversions.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "imaging/bitmap.h"

// clang-format off
extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}
// clang-format on

namespace tavo::jpeg {

// A crafted progressive file can repeat scans without end; each one costs a
// pass over the whole coefficient buffer. Real files have a few dozen at most.
constexpr int kMaxScans = 1000;
constexpr int kQuantizedColours = 236;
// What libjpeg may allocate for its whole-picture buffers: the coefficients of
// a file with several scans. Such a file whose coefficients need more is
// refused when its header is read, on every road.
constexpr uint64_t kMaxCoefficientBytes = 512ull * 1024 * 1024;
// The library's own limit on everything it allocates leaves room above that
// for its row buffers, so a file the header check accepts never fails for
// memory later.
constexpr long kJpegWorkingMemory = 576L * 1024 * 1024;

struct ErrorExit {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
};

// The whole file in memory as libjpeg's input.
struct MemorySource {
    jpeg_source_mgr pub;
    bool started;
};

// One libjpeg decompression object with its error manager, source and
// progress monitor. It stays where it was created; the destructor destroys
// the object whatever state an error left it in.
class Decompressor {
public:
    Decompressor();
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct info{};
    ErrorExit error{};
    MemorySource source{};
    jpeg_progress_mgr progress{};
    bool multipleScans = false;
};

// How each row libjpeg delivers is turned into a row of the decoded bitmap.
enum class RowConversion { None, SwapRedBlue, Cmyk, AdobeCmyk };

struct RowTarget {
    uint8_t* top;      // the bitmap's row 0, the top row
    ptrdiff_t step;    // from row 0 to row 1 (negative: the rows are stored bottom-up)
    uint8_t* scratch;  // four bytes per pixel, for the CMYK conversions
    RowConversion conversion;
    int width;
};

struct DecodeSettings {
    bool smoothing;
    bool grayscale;
    bool bits8;
    bool bestSpeed;
    bool progressiveDisplay;
    int scale;  // output size 1 / 2^scale
};

struct DecodePlan {
    bool quantize = false;
    bool cmyk = false;
    bool adobe = false;
    bool grayscale = false;  // grey output asked for
    bool buffered = false;
    RowConversion conversion = RowConversion::None;
};

// Each of these sets its own jump target, holds nothing with a destructor and
// returns false when the library failed; Check turns that into the error.
bool OpenAndReadHeader(Decompressor& d, const uint8_t* data, size_t size);
bool CalcOutputSize(Decompressor& d);
bool StartDecompress(Decompressor& d);
bool ReadRows(Decompressor& d, const RowTarget& target);
bool ReadPassByPass(Decompressor& d, const RowTarget& target);
// Reads the next scanline into `into` (libjpeg's output layout).
bool ReadScanline(Decompressor& d, uint8_t* into);
// Skips `count` scanlines; without libjpeg-turbo they are read and dropped into `scratch`.
bool SkipScanlines(Decompressor& d, unsigned count, uint8_t* scratch);
bool FinishDecompress(Decompressor& d);

// The bytes of the whole-picture coefficient buffer a decode of the file needs
// (0 for a file of one scan, which is decoded without it).
uint64_t CoefficientBytes(const Decompressor& d);
// After the header: throws Error for files this program does not decode
// (component counts other than 1, 3 and 4, coefficients beyond the limit).
void CheckDecodable(const Decompressor& d);

[[noreturn]] void ThrowJpegError(const Decompressor& d);
void Check(bool ok, const Decompressor& d);

void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted);
void SwapRedBlue(uint8_t* row, int width);

DecodePlan Configure(jpeg_decompress_struct& info, const DecodeSettings& s, bool multipleScans);
// The quantizer's colour map as the 8-bit bitmap's palette.
std::vector<RgbQuad> MakePalette(const jpeg_decompress_struct& info, const DecodePlan& plan);

}  // namespace tavo::jpeg
