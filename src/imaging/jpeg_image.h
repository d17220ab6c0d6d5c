// The JPEG picture: the file's bytes in memory, the header read at load, the decode at the first draw.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace tavo {

enum class JpegPixelFormat { Bits24, Bits8 };
enum class JpegPerformance { BestQuality, BestSpeed };
enum class JpegScale { Full, Half, Quarter, Eighth };

// The process-wide defaults every new JPEG image starts from.
struct JpegDefaults {
    int quality = 90;
    bool grayscale = false;
    JpegPerformance performance = JpegPerformance::BestQuality;
    bool progressiveDisplay = false;
    bool progressiveEncoding = false;
    JpegScale scale = JpegScale::Full;
    bool smoothing = true;
    JpegPixelFormat pixelFormat = JpegPixelFormat::Bits24;

    // The defaults for a display of `displayBits` bits per pixel (times planes):
    // 8-bit output at 8 bits or fewer, 24-bit otherwise.
    static JpegDefaults ForDisplay(int displayBits);
};

// The largest picture the JPEG front end accepts: its 24-bit decoded bitmap
// must fit the bitmap storage limit.
bool JpegSizeAcceptable(int64_t width, int64_t height);

class TJPEGImage {
public:
    TJPEGImage();
    explicit TJPEGImage(const JpegDefaults& defaults);
    ~TJPEGImage();
    TJPEGImage(const TJPEGImage&) = delete;
    TJPEGImage& operator=(const TJPEGImage&) = delete;

    // Reads the whole file and its header. Throws Error when the file cannot be
    // read, is not a JPEG file, has no image, is too large to hold or has a
    // component count other than 1, 3 or 4.
    void LoadFromFile(const std::string& path);
    // The same for a file already in memory.
    void LoadFromBytes(std::vector<uint8_t> bytes);

    // Returns true when the value changed (the decoded bitmap is then discarded).
    bool SetPixelFormat(JpegPixelFormat format);
    JpegPixelFormat PixelFormatSetting() const { return pixelFormat_; }
    void SetGrayscale(bool on);
    void SetSmoothing(bool on);
    void SetPerformance(JpegPerformance performance);
    void SetScale(JpegScale scale);
    void SetProgressiveDisplay(bool on);
    // Compression quality; kept for pictures written by this class, not used by decoding.
    int Quality() const { return quality_; }
    // The size of a JPEG picture follows from its file: always throws Error.
    void SetSize(int width, int height);

    int Width() const;
    int Height() const;
    bool Grayscale() const;            // the file's colour space is grayscale
    bool ProgressiveEncoding() const;  // the file has multiple scans
    bool Empty() const;                // no file data loaded (a zero-length file counts as loaded)
    bool PaletteModified() const { return paletteModified_; }

    // Decodes when needed, then stretches the decoded picture onto the whole of
    // `canvas` (at equal size a plain copy). Throws Error("JPEG error #N") when
    // the decoder fails.
    void Draw(Bitmap& canvas, int displayBits);
    // Decodes when needed and gives the decoded picture (24-bit, or 8-bit with
    // its palette when quantized). A failed decode leaves no decoded picture, so
    // the next call tries again.
    const Bitmap& Decoded();

    // Decodes when needed and hands the decoded picture over; the image keeps
    // its data and decodes again when it is next drawn.
    std::unique_ptr<Bitmap> TakeDecoded();

    // Releases the decoded bitmap and the file data.
    void Release();

    struct Data;

private:
    void Decode();
    int OutputSize(bool width) const;
    void DiscardDecoded();

    std::shared_ptr<Data> data_;
    std::unique_ptr<Bitmap> decoded_;
    bool smoothing_;
    bool grayscale_;
    JpegPixelFormat pixelFormat_;
    int quality_;
    bool progressiveDisplay_;
    JpegPerformance performance_;
    JpegScale scale_;
    bool paletteModified_ = false;
};

}  // namespace tavo
