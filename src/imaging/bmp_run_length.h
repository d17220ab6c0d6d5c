// Run-length coded bitmap pixels (RLE8 and RLE4), decoded whole or one row at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/row_source.h"

namespace tavo {

// The codes of a run-length file and the picture they paint, bottom row first.
// Runs and literals are clipped at the row end (their data is still consumed),
// a delta past the row end leaves the rest of that row alone, and one past the
// last row ends the picture, as do the end code and the end of the data.
// Pixels the codes never reach keep colour-table index 0.
struct RunLengthPicture {
    const uint8_t* codes = nullptr;
    size_t size = 0;
    bool fourBit = false;
    int width = 0;
    int height = 0;
    std::vector<RgbQuad> table;  // the file's colour table; indices beyond it are black
};

// Decodes the whole picture into `out`: a Device bitmap of the picture's size.
void DecodeRunLength(const RunLengthPicture& picture, Bitmap& out);

// Writes colour-table indices as pixels of a Device layout; each index's pixel
// value is worked out once.
class DeviceInk {
public:
    DeviceInk(const Bitmap& device, const std::vector<RgbQuad>& table);
    void Put(uint8_t* row, int x, uint8_t index) const;

private:
    int bitCount_;
    uint8_t index_[256] = {};
    uint8_t value_[256][4] = {};
};

// Where decoding stands: the next code, the column and the row counted from the bottom.
struct CodePosition {
    size_t pos = 0;
    int x = 0;
    int row = 0;
};

// The same pixels as DecodeRunLength, one row at a time: one pass over the
// codes notes where each row's codes begin (no more entries than rows the codes
// reach), and a row is decoded when it is asked for. The codes must outlive
// this object.
class RunLengthRows : public RowSource {
public:
    // `layout` is a Device bitmap (its pixels are not used).
    RunLengthRows(RunLengthPicture picture, const Bitmap& layout);

    const Bitmap& Layout() const override { return layout_; }
    int Width() const override { return picture_.width; }
    int Height() const override { return picture_.height; }
    const uint8_t* Row(int y) override;

private:
    RunLengthPicture picture_;
    Bitmap layout_;
    DeviceInk ink_;
    std::vector<uint8_t> blank_;  // a row of index 0
    std::vector<uint8_t> row_;
    int decoded_ = -1;  // the row from the bottom that row_ holds
    std::vector<CodePosition> starts_;
};

}  // namespace tavo
