// Preparing a picture file as a bitmap for a target area: load, colour depth, size, stretch.
#include "imaging/prepare.h"

#include <cstdint>
#include <new>
#include <vector>

#include "base/error.h"
#include "base/files.h"
#include "imaging/bmp_reader.h"
#include "imaging/extended.h"
#include "imaging/jpeg_image.h"
#include "imaging/jpeg_rows.h"
#include "imaging/stretch.h"

namespace tavo {
namespace {

// Sizes beyond this cannot be a bitmap; they end as exhausted resources.
constexpr int64_t kLargestDimension = 1000000000;

int RoundHalfEven(const Extended& value) {
    const int64_t rounded =
        value.MagnitudeAbove(2 * kLargestDimension) ? kLargestDimension + 1 : value.RoundedHalfEven();
    if (rounded > kLargestDimension || rounded < -kLargestDimension) throw Error("Out of system resources");
    return static_cast<int>(rounded);
}

int Truncate(const Extended& value) {
    if (value.MagnitudeAbove(kLargestDimension)) throw Error("Out of system resources");
    return static_cast<int>(value.Truncated());
}

void SetStatus(const PrepareContext& context, const char* text) {
    if (context.status) context.status(text);
}

int DisplayBits(const PrepareContext& context) {
    return context.displayBits;
}

// The palette the output takes from its source under "Don't change": the
// source's own, or the display's halftone palette that a deeper source takes on
// when it is drawn for a display of 8 bits or fewer.
std::vector<RgbQuad> SourcePalette(const Bitmap& source, int displayBits) {
    if (!source.Palette().empty() || source.BitCount() <= 8) return source.Palette();
    if (displayBits <= 8 && displayBits < source.BitCount()) return HalftonePalette();
    return {};
}

void ApplyColourDepth(const Bitmap& source, Bitmap& output, int colourDepth, int displayBits) {
    if (colourDepth == 0) {
        if (source.Format() == PixelFormat::Custom) throw Error("Invalid pixel format");
        output.SetFormat(source.Format());
        output.SetPalette(SourcePalette(source, displayBits));
    } else if (colourDepth == 1) {
        output.SetFormat(PixelFormat::Bits24);
    }
}

// Loads a bitmap file into `source`; false when it cannot be loaded.
bool LoadBitmapFile(const std::string& path, Bitmap& source, int displayBits) {
    try {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(path, bytes)) return false;
        source = LoadBmp(bytes.data(), bytes.size(), displayBits);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The rows of a bitmap file, read or decoded one at a time; null when the file cannot be loaded.
std::unique_ptr<RowSource> OpenBitmapRows(const std::vector<uint8_t>& bytes, int displayBits) {
    try {
        return OpenBmpRows(bytes.data(), bytes.size(), displayBits);
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool LoadJpegHeader(const std::string& path, TJPEGImage& jpeg) {
    try {
        jpeg.LoadFromFile(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void DecodeJpeg(TJPEGImage& jpeg, Bitmap& source, int displayBits) {
    jpeg.SetPixelFormat(JpegPixelFormat::Bits24);
    source.SetFormat(PixelFormat::Bits24);
    source.SetWidth(jpeg.Width());
    source.SetHeight(jpeg.Height());
    // Drawn at its own size a 24-bit picture lands byte for byte (even the
    // halftone mode averages single pixels then); it is taken over instead.
    const Bitmap& decoded = jpeg.Decoded();
    if (decoded.Format() == PixelFormat::Bits24 && decoded.Width() == source.Width() &&
        decoded.Height() == source.Height()) {
        source = std::move(*jpeg.TakeDecoded());
    } else {
        jpeg.Draw(source, displayBits);
    }
    jpeg.Release();
}

// The area a picture is prepared for and the bitmap it ends up in.
struct Target {
    int width;
    int height;
    Bitmap& output;
};

// Output size, colour depth and stretch from a source given by its rows.
void Resample(RowSource& rows, const Target& target, const PrepareContext& context) {
    const int displayBits = DisplayBits(context);
    ApplyColourDepth(rows.Layout(), target.output, context.options.colourDepth, displayBits);
    SetStatus(context, "Resampling...");
    const int screenWidth = context.screenWidth > 0 ? context.screenWidth : target.width;
    const OutputSize size = ComputeOutputSize(target.width, target.height, screenWidth, rows.Width(),
                                              rows.Height(), context.options);
    target.output.SetWidth(size.width);
    target.output.SetHeight(size.height);
    StretchRows(rows, target.output, displayBits);
}

std::unique_ptr<JpegRows> OpenJpegRows(const std::vector<uint8_t>& bytes) {
    try {
        return std::make_unique<JpegRows>(bytes);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The JPEG road row by row: the picture is decoded while it is resampled.
bool PrepareJpegRows(const Target& target, const std::string& path, const PrepareContext& context) {
    SetStatus(context, "Loading JPEG...");
    std::vector<uint8_t> bytes;
    std::unique_ptr<JpegRows> rows = ReadWholeFile(path, bytes) ? OpenJpegRows(bytes) : nullptr;
    if (!rows) return false;
    SetStatus(context, "Converting...");
    try {
        rows->Start();
        Resample(*rows, target, context);
        rows->Finish();
    } catch (...) {
        // As when the whole picture is decoded first: nothing of it is kept.
        target.output.SetSize(0, 0);
        target.output.SetDevice(DisplayBits(context));
        target.output.SetPalette({});
        throw;
    }
    return true;
}

// The bitmap road, rows read where the file holds them.
bool PrepareBitmapRows(const Target& target, const std::string& path, const PrepareContext& context) {
    SetStatus(context, "Loading BMP...");
    std::vector<uint8_t> bytes;
    const std::unique_ptr<RowSource> rows =
        ReadWholeFile(path, bytes) ? OpenBitmapRows(bytes, DisplayBits(context)) : nullptr;
    if (!rows) return false;
    Resample(*rows, target, context);
    return true;
}

// The plain road: the whole picture is decoded into a source bitmap first.
bool PrepareWhole(bool jpeg, const Target& target, const std::string& path, const PrepareContext& context) {
    const int displayBits = DisplayBits(context);
    Bitmap source;
    if (jpeg) {
        TJPEGImage image(JpegDefaults::ForDisplay(displayBits));
        SetStatus(context, "Loading JPEG...");
        if (!LoadJpegHeader(path, image)) return false;
        SetStatus(context, "Converting...");
        DecodeJpeg(image, source, displayBits);
    } else {
        SetStatus(context, "Loading BMP...");
        if (!LoadBitmapFile(path, source, displayBits)) return false;
    }
    BitmapRows rows(source);
    Resample(rows, target, context);
    return true;
}

void ReportLoadFailure(const PrepareContext& context, const std::string& path) {
    if (context.loadFailed) context.loadFailed("Error reading file: " + path);
}

}  // namespace

bool IsJpegPath(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("\\:", dot) != std::string::npos) return false;
    std::string extension = path.substr(dot);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return extension == ".JPG";
}

OutputSize ComputeOutputSize(int targetWidth, int targetHeight, int screenWidth, int sourceWidth,
                             int sourceHeight, const PrepareOptions& options) {
    int w = sourceWidth;
    int h = sourceHeight;
    if (targetWidth < screenWidth) {
        // The ratio is kept as a double; its products are formed in extended precision.
        if (screenWidth == 0) throw Error("Out of system resources");
        const Extended r = Extended::Quotient(targetWidth, screenWidth).ToDouble();
        w = Truncate(r.Times(sourceWidth));
        h = Truncate(r.Times(sourceHeight));
    }
    bool resize = false;
    if ((targetWidth < w || targetHeight < h) && options.shrink) {
        resize = true;
    } else if (w < targetWidth && h < targetHeight && options.zoom) {
        resize = true;
    }
    if (!resize) return {w, h};
    if (!options.proportional) return {targetWidth, targetHeight};
    // A miniature of no width or height has no ratio to keep.
    if (w == 0 || h == 0) return {w, h};
    const Extended kw = Extended::Quotient(targetWidth, w);
    const Extended kh = Extended::Quotient(targetHeight, h);
    const Extended k = (kw < kh ? kw : kh).ToDouble();
    return {RoundHalfEven(k.Times(w)), RoundHalfEven(k.Times(h))};
}

bool PrepareWallpaperBitmap(int targetWidth, int targetHeight, std::unique_ptr<Bitmap>& result,
                            const std::string& path, const PrepareContext& context) {
    result = std::make_unique<Bitmap>();
    result->SetDevice(DisplayBits(context));
    const Target target{targetWidth, targetHeight, *result};
    const bool jpeg = IsJpegPath(path);
    bool loaded;
    if (context.fullDecode)
        loaded = PrepareWhole(jpeg, target, path, context);
    else
        loaded = jpeg ? PrepareJpegRows(target, path, context) : PrepareBitmapRows(target, path, context);
    if (!loaded) ReportLoadFailure(context, path);
    return loaded;
}

}  // namespace tavo
