// The bitmap file writer: file header, information header, masks, colour table, rows.
#include "imaging/bmp_writer.h"

#include "base/files.h"

namespace tavo {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void U16(uint32_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }

private:
    std::vector<uint8_t>& out_;
};

bool UsesBitfields(const Bitmap& b) {
    return b.Format() == PixelFormat::Bits16 || (b.Format() == PixelFormat::Custom && b.BitCount() > 8);
}

// The entries written as the colour table: a full table for the index formats,
// an optional one for deeper bitmaps that carry a palette.
std::vector<RgbQuad> ColourTable(const Bitmap& b) {
    std::vector<RgbQuad> table = IndexColours(b);
    if (table.size() > 256) table.resize(256);
    if (b.BitCount() <= 8) table.resize(static_cast<size_t>(1) << b.BitCount());
    for (RgbQuad& entry : table)
        entry.reserved = 0;
    return table;
}

}  // namespace

std::vector<uint8_t> EncodeBmpHeaders(const Bitmap& bitmap) {
    std::vector<uint8_t> file;
    if (bitmap.Empty()) return file;
    const std::vector<RgbQuad> table = ColourTable(bitmap);
    const bool masks = UsesBitfields(bitmap);
    const uint32_t p = kInfoHeaderSize + (masks ? 12u : 0u) + 4u * static_cast<uint32_t>(table.size());
    const uint32_t s = static_cast<uint32_t>(bitmap.ImageSize());
    file.reserve(kFileHeaderSize + p);
    ByteWriter w(file);
    w.U16(0x4D42);
    w.U32(kFileHeaderSize + p + s);
    w.U16(0);
    w.U16(0);
    w.U32(kFileHeaderSize + p);
    w.U32(kInfoHeaderSize);
    w.U32(static_cast<uint32_t>(bitmap.Width()));
    w.U32(static_cast<uint32_t>(bitmap.Height()));
    w.U16(1);
    w.U16(static_cast<uint32_t>(bitmap.BitCount()));
    w.U32(masks ? kBiBitfields : kBiRgb);
    w.U32(s);
    w.U32(0);
    w.U32(0);
    w.U32(static_cast<uint32_t>(table.size()));
    w.U32(0);
    if (masks) {
        w.U32(bitmap.Masks().red);
        w.U32(bitmap.Masks().green);
        w.U32(bitmap.Masks().blue);
    }
    for (const RgbQuad& entry : table) {
        file.push_back(entry.blue);
        file.push_back(entry.green);
        file.push_back(entry.red);
        file.push_back(0);
    }
    return file;
}

std::vector<uint8_t> EncodeBmpFile(const Bitmap& bitmap) {
    std::vector<uint8_t> file = EncodeBmpHeaders(bitmap);
    file.insert(file.end(), bitmap.Bits(), bitmap.Bits() + bitmap.ImageSize());
    return file;
}

void SaveBitmapToFile(const Bitmap& bitmap, const std::string& fileName) {
    const std::vector<uint8_t> headers = EncodeBmpHeaders(bitmap);
    WriteFileReplacing(fileName, {{headers.data(), headers.size()}, {bitmap.Bits(), bitmap.ImageSize()}});
}

}  // namespace tavo
