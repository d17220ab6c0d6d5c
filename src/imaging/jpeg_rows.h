// A JPEG picture decoded row by row on demand, for the stretcher: no full-size copy is held.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/row_source.h"

namespace tavo {

// The largest picture the row-by-row decoder takes. It holds a few rows and
// libjpeg's own buffers (bounded by jpeg::kJpegWorkingMemory), not the
// picture, so the limit only keeps the work for one picture within reason.
constexpr uint64_t kMaxStreamedJpegPixels = 1ull << 30;

// The rows of a JPEG file held in memory, decoded with the settings the
// picture preparation uses (full size, block smoothing, 24-bit output; grey
// files quantized to 236 levels with error diffusion, as the JPEG image does).
// The rows come out as 24-bit blue, green, red. Rows that are never asked for
// are skipped without colour conversion where that leaves every other row
// exactly as a full decode gives it: for colour files whose sampling layout
// libjpeg skips through cleanly, not for grey ones, whose dithering carries
// from row to row.
class JpegRows : public RowSource {
public:
    // Reads the header; throws Error when the data is not a JPEG picture this
    // program can decode (the load failure). `bytes` must outlive this object.
    // Empty data loads as a picture of no size whose Start fails, as the JPEG
    // image's first draw does.
    explicit JpegRows(const std::vector<uint8_t>& bytes);
    ~JpegRows() override;
    JpegRows(const JpegRows&) = delete;
    JpegRows& operator=(const JpegRows&) = delete;

    // Starts decompressing; throws Error("JPEG error #N").
    void Start();
    // Reads what is left of the picture, its last row at least, so that damage
    // in the tail is reported as by a full decode; throws Error("JPEG error #N").
    void Finish();

    const Bitmap& Layout() const override { return layout_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    const uint8_t* Row(int y) override;

    struct Decoder;

private:
    void ReadNextRow();

    std::unique_ptr<Decoder> decoder_;
    const std::vector<uint8_t>& bytes_;
    Bitmap layout_;
    int width_ = 0;
    int height_ = 0;
    int current_ = -1;  // the row in the buffer
    std::vector<uint8_t> row_;
    std::vector<uint8_t> raw_;
};

}  // namespace tavo
