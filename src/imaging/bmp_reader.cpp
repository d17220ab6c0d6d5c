// Decoding Windows bitmap files held in memory: headers, colour tables, plain and run-length pixels.
#include "imaging/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/bmp_format.h"
#include "imaging/bmp_run_length.h"
#include "imaging/pixels.h"

namespace tavo {
namespace {

using bmpfile::kBitFields;
using bmpfile::kCoreHeaderSize;
using bmpfile::kFileHeaderSize;
using bmpfile::kInfoHeaderSize;
using bmpfile::kRgb;
using bmpfile::kRle4;
using bmpfile::kRle8;
// The shortest longer header that still holds width, height, planes and bit
// count whole; shorter ones are cut inside those fields.
constexpr uint32_t kShortestHeaderSize = 16;
constexpr uint64_t kMaxTableEntries = 256;

[[noreturn]] void Fail(BmpFault fault) {
    throw BmpError(fault);
}

// a * b, false when the product does not fit in 64 bits.
bool MultiplyChecked(uint64_t a, uint64_t b, uint64_t& product) {
    if (a != 0 && b > UINT64_MAX / a) return false;
    product = a * b;
    return true;
}

// The file's bytes; every read is checked against its end first.
class FileBytes {
public:
    FileBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint64_t Size() const { return size_; }
    bool Holds(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    const uint8_t* At(uint64_t offset) const { return data_ + offset; }
    uint16_t U16(uint64_t offset) const {
        const uint8_t* p = data_ + offset;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t U32(uint64_t offset) const {
        const uint8_t* p = data_ + offset;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }

private:
    const uint8_t* data_;
    uint64_t size_;
};

// The fields of the file and information headers this reader uses.
struct Header {
    uint32_t dataOffset = 0;
    uint32_t size = 0;  // of the information header
    bool core = false;  // the OS/2 core header, with 3-byte colour-table entries
    int64_t width = 0;
    int64_t height = 0;  // as stored: negative for rows stored top-down
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t imageSize = 0;
    uint32_t coloursUsed = 0;
    ChannelMasks masks;

    int Width() const { return static_cast<int>(width); }
    int Rows() const { return static_cast<int>(height < 0 ? -height : height); }
    bool TopDown() const { return height < 0; }
    bool RunLength() const { return compression == kRle8 || compression == kRle4; }
    uint64_t TableStart() const {
        return kFileHeaderSize + size + (MasksAfterHeader() ? bmpfile::kMasksSize : 0);
    }
    bool MasksAfterHeader() const { return size == kInfoHeaderSize && compression == kBitFields; }
};

// A 32-bit field at `offset` inside the information header; fields the header
// is too short to hold read as 0.
uint32_t HeaderU32(const FileBytes& file, const Header& h, uint32_t offset) {
    return offset + 4 <= h.size ? file.U32(kFileHeaderSize + offset) : 0;
}

void ReadCoreHeader(const FileBytes& file, Header& h) {
    h.core = true;
    h.width = file.U16(kFileHeaderSize + 4);
    h.height = file.U16(kFileHeaderSize + 6);
    h.planes = file.U16(kFileHeaderSize + 8);
    h.bitCount = file.U16(kFileHeaderSize + 10);
}

// The 40-byte header and its longer versions, or a shorter one cut after the
// bit count, whose missing fields are 0.
void ReadInfoHeader(const FileBytes& file, Header& h) {
    h.width = static_cast<int32_t>(HeaderU32(file, h, 4));
    h.height = static_cast<int32_t>(HeaderU32(file, h, 8));
    h.planes = file.U16(kFileHeaderSize + 12);
    h.bitCount = file.U16(kFileHeaderSize + 14);
    h.compression = HeaderU32(file, h, 16);
    h.imageSize = HeaderU32(file, h, 20);
    h.coloursUsed = HeaderU32(file, h, 32);
}

Header ReadHeaders(const FileBytes& file) {
    if (!file.Holds(0, 2)) Fail(BmpFault::Truncated);
    if (file.U16(0) != bmpfile::kSignature) Fail(BmpFault::BadSignature);
    if (!file.Holds(0, kFileHeaderSize + 4)) Fail(BmpFault::Truncated);
    Header h;
    h.dataOffset = file.U32(10);
    h.size = file.U32(kFileHeaderSize);
    if (h.size != kCoreHeaderSize && h.size < kShortestHeaderSize) Fail(BmpFault::BadHeaderSize);
    if (!file.Holds(kFileHeaderSize, h.size)) Fail(BmpFault::BadHeaderSize);
    if (h.size == kCoreHeaderSize)
        ReadCoreHeader(file, h);
    else
        ReadInfoHeader(file, h);
    return h;
}

bool SupportedCompression(const Header& h) {
    switch (h.compression) {
        case kRgb:
            return true;
        case kRle8:
            return h.bitCount == 8;
        case kRle4:
            return h.bitCount == 4;
        case kBitFields:
            return h.bitCount == 16 || h.bitCount == 32;
        default:
            return false;
    }
}

void ValidateHeader(const Header& h) {
    if (h.planes != 1) Fail(BmpFault::BadPlanes);
    if (!IsBitmapDepth(static_cast<int>(h.bitCount))) Fail(BmpFault::BadBitCount);
    if (!SupportedCompression(h)) Fail(BmpFault::BadCompression);
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) Fail(BmpFault::BadDimensions);
    // Run-length data always runs from the bottom row up.
    if (h.RunLength() && h.TopDown()) Fail(BmpFault::BadRunLength);
}

// The masks of a bit-field file: after a 40-byte header, else inside the longer one.
void ReadMasks(const FileBytes& file, Header& h) {
    if (h.compression != kBitFields) {
        h.masks = h.bitCount == 16 ? kMasks555 : kMasks888;
        return;
    }
    if (h.MasksAfterHeader()) {
        const uint64_t at = kFileHeaderSize + kInfoHeaderSize;
        if (!file.Holds(at, bmpfile::kMasksSize)) Fail(BmpFault::Truncated);
        h.masks = ChannelMasks{file.U32(at), file.U32(at + 4), file.U32(at + 8)};
        return;
    }
    h.masks = ChannelMasks{HeaderU32(file, h, 40), HeaderU32(file, h, 44), HeaderU32(file, h, 48)};
}

struct TableArea {
    uint64_t start = 0;
    uint64_t entries = 0;
    uint64_t entrySize = 4;
    uint64_t End() const { return start + entries * entrySize; }
};

uint64_t DeclaredEntries(const Header& h) {
    if (h.coloursUsed != 0) return h.coloursUsed;
    return h.bitCount <= 8 ? uint64_t{1} << h.bitCount : 0;
}

// The core header has no count of its own: a data offset inside the implied
// 2^bits entries is the only sign of a shorter table, so it ends the table.
uint64_t CoreEntries(const Header& h, const TableArea& t) {
    if (h.dataOffset >= t.start && h.dataOffset < t.End()) return (h.dataOffset - t.start) / t.entrySize;
    return t.entries;
}

// The declared table must lie within the file; at most 256 entries are read.
TableArea LocateTable(const FileBytes& file, const Header& h) {
    TableArea t;
    t.start = h.TableStart();
    t.entrySize = h.core ? 3 : 4;
    t.entries = DeclaredEntries(h);
    if (h.core) t.entries = CoreEntries(h, t);
    if (!file.Holds(t.start, t.entries * t.entrySize)) Fail(BmpFault::BadColourTable);
    t.entries = std::min(t.entries, kMaxTableEntries);
    return t;
}

std::vector<RgbQuad> ReadTable(const FileBytes& file, const TableArea& t) {
    std::vector<RgbQuad> table(static_cast<size_t>(t.entries));
    for (size_t i = 0; i < table.size(); ++i) {
        const uint8_t* p = file.At(t.start + i * t.entrySize);
        table[i] = RgbQuad{p[0], p[1], p[2], 0};
    }
    return table;
}

struct PixelArea {
    uint64_t start = 0;
    uint64_t size = 0;
};

// The data offset is honoured when it cannot overlap the table and points into
// the file, which places the pixels of files with a gap or an oversized table
// right; any other offset is taken as unreliable.
uint64_t PixelStart(const FileBytes& file, const Header& h, uint64_t tableEnd) {
    if (h.dataOffset >= tableEnd && h.dataOffset < file.Size()) return h.dataOffset;
    return tableEnd;
}

// The image-size field, or for 0 the rows' own size (run-length data then runs
// to the end of the file: its end code stops it), limited to what the file holds.
PixelArea LocatePixels(const FileBytes& file, const Header& h, uint64_t tableEnd) {
    PixelArea area;
    area.start = PixelStart(file, h, tableEnd);
    const uint64_t available = file.Size() - area.start;
    uint64_t declared = h.imageSize;
    if (declared == 0)
        declared = h.RunLength() ? available : PixelStorageBytes(h.width, h.Rows(), h.bitCount);
    area.size = std::min(declared, available);
    return area;
}

std::vector<RgbQuad> PlainPalette(const Header& h, std::vector<RgbQuad> table) {
    // Entries past 2^bits cannot be indexed; the palette formats keep only theirs.
    if (h.bitCount <= 8 && table.size() > (size_t{1} << h.bitCount)) table.resize(size_t{1} << h.bitCount);
    return table;
}

// Zeroes the bytes and the bits of the last byte past each row's pixels, which
// the file may hold as anything.
void ClearRowPadding(Bitmap& bitmap) {
    const uint64_t bits = static_cast<uint64_t>(bitmap.Width()) * static_cast<uint64_t>(bitmap.BitCount());
    const size_t used = static_cast<size_t>(bits / 8);
    const unsigned spare = static_cast<unsigned>(bits % 8);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.Row(y);
        size_t from = used;
        if (spare != 0) row[from++] &= static_cast<uint8_t>(0xFF00u >> spare);
        std::memset(row + from, 0, bitmap.Stride() - from);
    }
}

void CopyRows(const FileBytes& file, const PixelArea& area, bool topDown, Bitmap& bitmap) {
    if (!topDown) {
        std::memcpy(bitmap.Bits(), file.At(area.start), static_cast<size_t>(area.size));
        return;
    }
    const size_t stride = bitmap.Stride();
    size_t left = static_cast<size_t>(area.size);
    for (int y = 0; left > 0 && y < bitmap.Height(); ++y) {
        const size_t n = std::min(left, stride);
        std::memcpy(bitmap.Row(y), file.At(area.start + static_cast<uint64_t>(y) * stride), n);
        left -= n;
    }
}

// Format, masks and palette of a file without run-length compression, after
// the checks that its rows fit the storage limit and its image size the rows.
void PlainLayout(const Header& h, std::vector<RgbQuad> table, const PixelArea& area, Bitmap& bitmap) {
    if (PixelStorageBytes(h.width, h.Rows(), h.bitCount) == 0) Fail(BmpFault::TooLarge);
    if (area.size > PixelStorageBytes(h.width, h.Rows(), h.bitCount)) Fail(BmpFault::BadImageSize);
    const PixelFormat format = ClassifyFormat(h.bitCount, h.compression, h.masks);
    if (format == PixelFormat::Custom)
        bitmap.SetCustom(h.bitCount, h.masks);
    else
        bitmap.SetFormat(format);
    bitmap.SetPalette(PlainPalette(h, std::move(table)));
}

Bitmap LoadPlain(const FileBytes& file, const Header& h, std::vector<RgbQuad> table, const PixelArea& area) {
    Bitmap bitmap;
    PlainLayout(h, std::move(table), area, bitmap);
    bitmap.SetSize(h.Width(), h.Rows());
    CopyRows(file, area, h.TopDown(), bitmap);
    ClearRowPadding(bitmap);
    return bitmap;
}

// The device bitmap shows the colour table itself on an 8-bit display; smaller
// displays have their fixed colours, deeper ones no palette.
std::vector<RgbQuad> DevicePalette(int displayBits, const std::vector<RgbQuad>& table) {
    if (displayBits == 8) return table;
    if (displayBits < 8) return DisplayColours(displayBits);
    return {};
}

// The Device layout (without pixels) a run-length file takes on the display.
Bitmap RunLengthLayout(const Header& h, const std::vector<RgbQuad>& table, int displayBits) {
    if (!IsBitmapDepth(displayBits)) throw Error("Invalid display depth");
    if (PixelStorageBytes(h.width, h.Rows(), displayBits) == 0) Fail(BmpFault::TooLarge);
    Bitmap layout;
    layout.SetDevice(displayBits);
    layout.SetPalette(DevicePalette(displayBits, table));
    return layout;
}

// A file's headers, colour table and pixel area, read and checked alike for every road.
struct ParsedBmp {
    Header h;
    std::vector<RgbQuad> table;
    PixelArea pixels;
};

ParsedBmp ParseBmp(const FileBytes& file) {
    ParsedBmp p;
    p.h = ReadHeaders(file);
    ValidateHeader(p.h);
    ReadMasks(file, p.h);
    const TableArea tableArea = LocateTable(file, p.h);
    p.table = ReadTable(file, tableArea);
    p.pixels = LocatePixels(file, p.h, tableArea.End());
    return p;
}

RunLengthPicture RunLengthOf(const FileBytes& file, ParsedBmp p) {
    return RunLengthPicture{file.At(p.pixels.start),
                            static_cast<size_t>(p.pixels.size),
                            p.h.compression == kRle4,
                            p.h.Width(),
                            p.h.Rows(),
                            std::move(p.table)};
}

Bitmap LoadRunLength(const FileBytes& file, ParsedBmp p, int displayBits) {
    Bitmap bitmap = RunLengthLayout(p.h, p.table, displayBits);
    bitmap.SetSize(p.h.Width(), p.h.Rows());
    DecodeRunLength(RunLengthOf(file, std::move(p)), bitmap);
    return bitmap;
}

// The rows of the empty file: none, in the layout LoadBmp gives it.
class EmptyRows : public RowSource {
public:
    explicit EmptyRows(int displayBits) : layout_(LoadBmp(nullptr, 0, displayBits)) {}
    const Bitmap& Layout() const override { return layout_; }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    const uint8_t* Row(int) override { return nullptr; }

private:
    Bitmap layout_;
};

}  // namespace

const char* BmpFaultName(BmpFault fault) {
    switch (fault) {
        case BmpFault::Truncated:
            return "file ends inside its headers";
        case BmpFault::BadSignature:
            return "not a bitmap file";
        case BmpFault::BadHeaderSize:
            return "unsupported information header size";
        case BmpFault::BadPlanes:
            return "plane count is not 1";
        case BmpFault::BadBitCount:
            return "unsupported bit count";
        case BmpFault::BadCompression:
            return "unsupported compression";
        case BmpFault::BadDimensions:
            return "invalid width or height";
        case BmpFault::BadColourTable:
            return "colour table past the end of the file";
        case BmpFault::TooLarge:
            return "picture too large";
        case BmpFault::BadRunLength:
            return "run-length data outside the picture";
        case BmpFault::BadImageSize:
            return "pixel data larger than the picture";
    }
    return "invalid bitmap file";
}

uint64_t PixelStorageBytes(int64_t width, int64_t height, int bitCount) {
    if (width <= 0 || height <= 0 || bitCount <= 0) return 0;
    const uint64_t stride = RowStride(width, bitCount);
    uint64_t total = 0;
    if (stride == 0 || !MultiplyChecked(stride, static_cast<uint64_t>(height), total)) return 0;
    return total <= kMaxPixelBytes ? total : 0;
}

Bitmap LoadBmp(const uint8_t* data, size_t size, int displayBits) {
    if (size == 0) {
        Bitmap empty;
        if (IsBitmapDepth(displayBits)) empty.SetDevice(displayBits);
        return empty;
    }
    const FileBytes file(data, size);
    ParsedBmp p = ParseBmp(file);
    if (p.h.RunLength()) return LoadRunLength(file, std::move(p), displayBits);
    return LoadPlain(file, p.h, std::move(p.table), p.pixels);
}

std::unique_ptr<RowSource> OpenBmpRows(const uint8_t* data, size_t size, int displayBits) {
    if (size == 0) return std::make_unique<EmptyRows>(displayBits);
    const FileBytes file(data, size);
    if (!ReadHeaders(file).RunLength()) return std::make_unique<BmpFileRows>(data, size);
    ParsedBmp p = ParseBmp(file);
    const Bitmap layout = RunLengthLayout(p.h, p.table, displayBits);
    return std::make_unique<RunLengthRows>(RunLengthOf(file, std::move(p)), layout);
}

BmpFileRows::BmpFileRows(const uint8_t* data, size_t size) {
    const FileBytes file(data, size);
    ParsedBmp p = ParseBmp(file);
    if (p.h.RunLength()) Fail(BmpFault::BadCompression);
    PlainLayout(p.h, std::move(p.table), p.pixels, layout_);
    width_ = p.h.Width();
    height_ = p.h.Rows();
    topDown_ = p.h.TopDown();
    stride_ = static_cast<size_t>(RowStride(width_, static_cast<int>(p.h.bitCount)));
    pixels_ = file.At(p.pixels.start);
    available_ = static_cast<size_t>(p.pixels.size);
    scratch_.assign(stride_, 0);
}

const uint8_t* BmpFileRows::Row(int y) {
    const size_t stored = static_cast<size_t>(topDown_ ? y : height_ - 1 - y);
    const size_t offset = stored * stride_;
    if (offset + stride_ <= available_) return pixels_ + offset;
    // A row the file holds only in part, or not at all, reads as zero past its end.
    std::fill(scratch_.begin(), scratch_.end(), 0);
    if (offset < available_) std::memcpy(scratch_.data(), pixels_ + offset, available_ - offset);
    return scratch_.data();
}

}  // namespace tavo
