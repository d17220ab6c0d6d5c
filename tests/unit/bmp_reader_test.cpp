// The bitmap reader on crafted files: header rules, row layout, run-length data, data offset, limits.
#include "imaging/bmp_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/pixels.h"
#include "support/digest.h"

namespace tavo {
namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

// A bitmap file put together field by field.
struct BmpFile {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint32_t planes = 1;
    uint32_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;  // after a 40-byte header, else inside the header from byte 40
    std::vector<RgbQuad> table;   // three bytes an entry in the 12-byte header's files
    std::vector<uint8_t> gap;     // between the table and the pixels
    std::vector<uint8_t> pixels;
    int64_t dataOffset = -1;  // -1: where the pixels start

    std::vector<uint8_t> InfoHeader() const {
        if (headerSize == 12) {
            std::vector<uint8_t> h(12);
            Put32(h, 0, 12);
            Put16(h, 4, static_cast<uint32_t>(width));
            Put16(h, 6, static_cast<uint32_t>(height));
            Put16(h, 8, planes);
            Put16(h, 10, bitCount);
            return h;
        }
        std::vector<uint8_t> h(std::max<uint32_t>(headerSize, 52));
        const uint32_t fields[] = {headerSize,
                                   static_cast<uint32_t>(width),
                                   static_cast<uint32_t>(height),
                                   0,
                                   compression,
                                   imageSize,
                                   0,
                                   0,
                                   coloursUsed,
                                   0};
        for (size_t i = 0; i < 10; ++i)
            Put32(h, 4 * i, fields[i]);
        Put16(h, 12, planes);
        Put16(h, 14, bitCount);
        for (size_t i = 0; headerSize > 40 && i < masks.size(); ++i)
            Put32(h, 40 + 4 * i, masks[i]);
        h.resize(headerSize);
        return h;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out(14);
        out[0] = 'B';
        out[1] = 'M';
        const std::vector<uint8_t> info = InfoHeader();
        out.insert(out.end(), info.begin(), info.end());
        for (size_t i = 0; headerSize == 40 && i < masks.size(); ++i) {
            out.resize(out.size() + 4);
            Put32(out, out.size() - 4, masks[i]);
        }
        for (const RgbQuad& c : table) {
            out.insert(out.end(), {c.blue, c.green, c.red});
            if (headerSize != 12) out.push_back(0x5A);  // a reserved byte that must not survive
        }
        out.insert(out.end(), gap.begin(), gap.end());
        const size_t start = out.size();
        out.insert(out.end(), pixels.begin(), pixels.end());
        Put32(out, 2, static_cast<uint32_t>(out.size()));
        Put32(out, 10, dataOffset < 0 ? static_cast<uint32_t>(start) : static_cast<uint32_t>(dataOffset));
        return out;
    }
};

Bitmap Load(const std::vector<uint8_t>& bytes, int displayBits = 32) {
    return LoadBmp(bytes.data(), bytes.size(), displayBits);
}

// "loads" or the name of the fault that refuses the file.
std::string Outcome(const std::vector<uint8_t>& bytes, int displayBits = 32) {
    try {
        Load(bytes, displayBits);
        return "loads";
    } catch (const BmpError& e) {
        return BmpFaultName(e.Fault());
    }
}

// The same for the row-by-row road, which must refuse what the whole load refuses.
std::string RowsOutcome(const std::vector<uint8_t>& bytes, int displayBits = 32) {
    try {
        OpenBmpRows(bytes.data(), bytes.size(), displayBits);
        return "loads";
    } catch (const BmpError& e) {
        return BmpFaultName(e.Fault());
    }
}

std::string Refusal(BmpFault fault) {
    return BmpFaultName(fault);
}

// Distinct colours, index i giving (i, 255 - i, 7 * i mod 256).
std::vector<RgbQuad> Ramp(size_t n) {
    std::vector<RgbQuad> table;
    for (size_t i = 0; i < n; ++i)
        table.push_back(
            MakeRgb(static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(7 * i)));
    return table;
}

RgbQuad ColourAt(const Bitmap& b, int x, int y) {
    return PixelReader(b).Read(b.Row(y), x);
}

// A 2 by 2 24-bit picture with four different colours.
BmpFile Rgb24Square() {
    BmpFile f;
    f.width = 2;
    f.height = 2;
    f.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};  // bottom row first
    return f;
}

TEST(BmpReader, ZeroLengthFileIsAnEmptyDevicePicture) {
    const uint8_t none[1] = {};
    for (const uint8_t* data : {static_cast<const uint8_t*>(nullptr), none}) {
        const Bitmap b = LoadBmp(data, 0, 16);
        EXPECT_EQ(b.Width(), 0);
        EXPECT_EQ(b.Height(), 0);
        EXPECT_TRUE(b.Empty());
        EXPECT_EQ(b.Format(), PixelFormat::Device);
    }
}

struct HeaderCase {
    const char* what;
    std::function<void(BmpFile&)> change;
    BmpFault fault;
};

TEST(BmpReader, RefusesEachMalformedHeaderWithItsOwnFault) {
    const HeaderCase cases[] = {
        {"header size 0", [](BmpFile& f) { f.headerSize = 0; }, BmpFault::BadHeaderSize},
        {"header size 11", [](BmpFile& f) { f.headerSize = 11; }, BmpFault::BadHeaderSize},
        {"header size 13", [](BmpFile& f) { f.headerSize = 13; }, BmpFault::BadHeaderSize},
        {"header size 15", [](BmpFile& f) { f.headerSize = 15; }, BmpFault::BadHeaderSize},
        {"planes 0", [](BmpFile& f) { f.planes = 0; }, BmpFault::BadPlanes},
        {"planes 2", [](BmpFile& f) { f.planes = 2; }, BmpFault::BadPlanes},
        {"OS/2 planes 3", [](BmpFile& f) { f.headerSize = 12, f.planes = 3; }, BmpFault::BadPlanes},
        {"0 bits", [](BmpFile& f) { f.bitCount = 0; }, BmpFault::BadBitCount},
        {"2 bits", [](BmpFile& f) { f.bitCount = 2; }, BmpFault::BadBitCount},
        {"15 bits", [](BmpFile& f) { f.bitCount = 15; }, BmpFault::BadBitCount},
        {"64 bits", [](BmpFile& f) { f.bitCount = 64; }, BmpFault::BadBitCount},
        {"embedded JPEG", [](BmpFile& f) { f.compression = 4; }, BmpFault::BadCompression},
        {"embedded PNG", [](BmpFile& f) { f.compression = 5; }, BmpFault::BadCompression},
        {"alpha bit fields", [](BmpFile& f) { f.bitCount = 32, f.compression = 6; },
         BmpFault::BadCompression},
        {"RLE8 at 4 bits", [](BmpFile& f) { f.bitCount = 4, f.compression = 1; }, BmpFault::BadCompression},
        {"RLE4 at 8 bits", [](BmpFile& f) { f.bitCount = 8, f.compression = 2; }, BmpFault::BadCompression},
        {"bit fields at 24 bits", [](BmpFile& f) { f.compression = 3; }, BmpFault::BadCompression},
        {"bit fields at 8 bits", [](BmpFile& f) { f.bitCount = 8, f.compression = 3; },
         BmpFault::BadCompression},
        {"width 0", [](BmpFile& f) { f.width = 0; }, BmpFault::BadDimensions},
        {"width -1", [](BmpFile& f) { f.width = -1; }, BmpFault::BadDimensions},
        {"height 0", [](BmpFile& f) { f.height = 0; }, BmpFault::BadDimensions},
        {"OS/2 width 0", [](BmpFile& f) { f.headerSize = 12, f.width = 0; }, BmpFault::BadDimensions},
        {"height -2^31", [](BmpFile& f) { f.height = INT32_MIN; }, BmpFault::BadDimensions},
        {"top-down RLE8", [](BmpFile& f) { f.bitCount = 8, f.compression = 1, f.height = -1; },
         BmpFault::BadRunLength},
        {"table beyond the file", [](BmpFile& f) { f.coloursUsed = 4, f.table = Ramp(2); },
         BmpFault::BadColourTable},
        {"image size beyond the rows", [](BmpFile& f) { f.imageSize = 8, f.pixels.resize(8); },
         BmpFault::BadImageSize},
        {"masks cut off", [](BmpFile& f) { f.bitCount = 16, f.compression = 3; }, BmpFault::Truncated},
    };
    for (const HeaderCase& c : cases) {
        BmpFile f;
        f.pixels.resize(4);
        c.change(f);
        EXPECT_EQ(Outcome(f.Bytes()), Refusal(c.fault)) << c.what;
        EXPECT_EQ(RowsOutcome(f.Bytes()), Refusal(c.fault)) << c.what;
    }
}

TEST(BmpReader, RefusesFilesCutInsideTheirHeadersOrWithoutTheSignature) {
    const std::vector<uint8_t> good = Rgb24Square().Bytes();
    ASSERT_EQ(Outcome(good), "loads");
    std::vector<uint8_t> ba = good;
    ba[1] = 'A';
    EXPECT_EQ(Outcome(ba), Refusal(BmpFault::BadSignature));
    EXPECT_EQ(Outcome({'B'}), Refusal(BmpFault::Truncated));
    EXPECT_EQ(Outcome({'P', 'K', 3, 4}), Refusal(BmpFault::BadSignature));
    EXPECT_EQ(Outcome(std::vector<uint8_t>(good.begin(), good.begin() + 17)), Refusal(BmpFault::Truncated));
    EXPECT_EQ(Outcome(std::vector<uint8_t>(good.begin(), good.begin() + 30)),
              Refusal(BmpFault::BadHeaderSize));
    std::vector<uint8_t> huge = good;
    Put32(huge, 14, 0xFFFFFFF0u);
    EXPECT_EQ(Outcome(huge), Refusal(BmpFault::BadHeaderSize));
}

TEST(BmpReader, EveryHeaderSizeHoldingTheBasicFieldsGivesTheSamePicture) {
    const Bitmap reference = Load(Rgb24Square().Bytes());
    const std::vector<uint8_t> expected = testing::RgbRows(reference);
    EXPECT_EQ(expected, std::vector<uint8_t>({9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
    for (uint32_t size : {12u, 16u, 20u, 36u, 40u, 52u, 56u, 64u, 66u, 108u, 124u, 200u}) {
        BmpFile f = Rgb24Square();
        f.headerSize = size;
        const Bitmap b = Load(f.Bytes());
        EXPECT_EQ(b.Format(), PixelFormat::Bits24) << size;
        EXPECT_EQ(testing::RgbRows(b), expected) << size;
    }
}

TEST(BmpReader, TopDownRowsAreStoredBottomUp) {
    BmpFile f;
    f.width = 1;
    f.height = -3;
    f.bitCount = 8;
    f.table = Ramp(256);
    f.pixels = {10, 0, 0, 0, 20, 0, 0, 0, 30, 0, 0, 0};  // top row first
    const Bitmap b = Load(f.Bytes());
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Row(0)[0], 10);
    EXPECT_EQ(b.Row(2)[0], 30);
    EXPECT_EQ(b.Bits()[0], 30);  // the bottom row is stored first
}

// The raw value of pixel (x, y from the bottom) in the sweep's pictures.
uint32_t SweepValue(int x, int y, int bits) {
    const uint32_t v = static_cast<uint32_t>(x * 7 + y * 13 + 1) * 0x01030507u;
    return bits >= 32 ? v : v & ((1u << bits) - 1);
}

// Rows as a file holds them, with every padding bit set so that it must be cleared.
std::vector<uint8_t> SweepRows(int width, int height, int bits) {
    const size_t stride = static_cast<size_t>(RowStride(width, bits));
    std::vector<uint8_t> rows(stride * height, 0xFF);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rows.data() + stride * y;
        for (int x = 0; x < width; ++x) {
            const uint32_t v = SweepValue(x, y, bits);
            if (bits < 8) {
                const int shift = 8 - bits - (x * bits) % 8;
                uint8_t& byte = row[x * bits / 8];
                byte = static_cast<uint8_t>((byte & ~(((1 << bits) - 1) << shift)) | (v << shift));
            } else {
                for (int i = 0; i < bits / 8; ++i)
                    row[x * bits / 8 + i] = static_cast<uint8_t>(v >> (8 * i));
            }
        }
    }
    return rows;
}

void ExpectPaddingClear(const Bitmap& b) {
    const size_t usedBits = static_cast<size_t>(b.Width()) * b.BitCount();
    for (int y = 0; y < b.Height(); ++y) {
        const uint8_t* row = b.Row(y);
        if (usedBits % 8) {
            EXPECT_EQ(row[usedBits / 8] & (0xFF >> (usedBits % 8)), 0) << "row " << y;
        }
        for (size_t i = (usedBits + 7) / 8; i < b.Stride(); ++i)
            EXPECT_EQ(row[i], 0) << "row " << y;
    }
}

TEST(BmpReader, WidthSweepKeepsEveryPixelAndClearsThePadding) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (int width = 1; width <= 5; ++width) {
            BmpFile f;
            f.width = width;
            f.height = 3;
            f.bitCount = static_cast<uint32_t>(bits);
            if (bits <= 8) f.table = Ramp(size_t{1} << bits);
            f.pixels = SweepRows(width, 3, bits);
            const Bitmap b = Load(f.Bytes());
            ASSERT_EQ(b.Width(), width);
            ASSERT_EQ(b.Stride() % 4, 0u);
            const PixelReader reader(b);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uint32_t v = SweepValue(x, 2 - y, bits);
                    const RgbQuad want = bits <= 8 ? f.table[v]
                                         : bits == 16
                                             ? RgbQuad{WidenChannel(v, 0x1F), WidenChannel(v, 0x3E0),
                                                       WidenChannel(v, 0x7C00), 0}
                                             : RgbQuad{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                                       static_cast<uint8_t>(v >> 16), 0};
                    EXPECT_EQ(reader.Read(b.Row(y), x), want)
                        << bits << " bits, width " << width << " at " << x;
                }
            }
            ExpectPaddingClear(b);
        }
    }
}

TEST(BmpReader, ShortFilesLeaveTheMissingRowsZero) {
    BmpFile f;
    f.width = 2;
    f.height = 3;
    f.imageSize = 0x7FFFFFF0;                   // clamped to what the file holds
    f.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8};  // one whole row and 4 bytes of the next
    const Bitmap b = Load(f.Bytes());
    EXPECT_EQ(b.Row(2)[5], 6);
    EXPECT_EQ(b.Row(1)[1], 8);
    for (int i : {2, 3, 4, 5})
        EXPECT_EQ(b.Row(1)[i], 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(b.Row(0)[i], 0);
}

TEST(BmpReader, ColourTablesAreCappedWidenedAndKeptByDeeperFormats) {
    BmpFile os2;
    os2.headerSize = 12;
    os2.bitCount = 1;
    os2.table = {MakeRgb(1, 2, 3), MakeRgb(4, 5, 6)};
    os2.pixels = {0x80, 0, 0, 0};
    const Bitmap b = Load(os2.Bytes());
    EXPECT_EQ(b.Format(), PixelFormat::Bits1);
    EXPECT_EQ(b.Palette(), os2.table);  // three bytes widened to four, the fourth 0
    EXPECT_EQ(ColourAt(b, 0, 0), MakeRgb(4, 5, 6));

    BmpFile deep = Rgb24Square();
    deep.coloursUsed = 3;
    deep.table = Ramp(3);
    EXPECT_EQ(Load(deep.Bytes()).Palette(), Ramp(3));  // reserved bytes cleared

    BmpFile wide;  // more entries than 1 bit can index: only two stay
    wide.bitCount = 1;
    wide.coloursUsed = 4;
    wide.table = Ramp(4);
    wide.pixels = {0x80, 0, 0, 0};
    EXPECT_EQ(Load(wide.Bytes()).Palette(), Ramp(2));

    BmpFile over;  // 300 entries: 256 read, the pixels at the data offset
    over.bitCount = 8;
    over.coloursUsed = 300;
    over.table = Ramp(300);
    over.pixels = {255, 0, 0, 0};
    const Bitmap capped = Load(over.Bytes());
    EXPECT_EQ(capped.Palette().size(), 256u);
    EXPECT_EQ(ColourAt(capped, 0, 0), Ramp(256)[255]);
}

TEST(BmpReader, IndicesBeyondTheTableReadAsBlack) {
    BmpFile f;
    f.bitCount = 8;
    f.coloursUsed = 2;
    f.table = {MakeRgb(9, 9, 9), MakeRgb(200, 1, 1)};
    f.width = 2;
    f.pixels = {1, 250, 0, 0};
    const Bitmap b = Load(f.Bytes());
    EXPECT_EQ(ColourAt(b, 0, 0), MakeRgb(200, 1, 1));
    EXPECT_EQ(ColourAt(b, 1, 0), MakeRgb(0, 0, 0));
}

struct MaskCase {
    uint32_t headerSize;
    uint32_t bits;
    uint32_t compression;
    std::vector<uint32_t> masks;
    PixelFormat format;
};

TEST(BmpReader, ClassifiesMaskLayouts) {
    const MaskCase cases[] = {
        {40, 16, 0, {}, PixelFormat::Bits15},
        {40, 16, 3, {0x7C00, 0x03E0, 0x001F}, PixelFormat::Bits15},
        {40, 16, 3, {0xF800, 0x07E0, 0x001F}, PixelFormat::Bits16},
        {108, 16, 3, {0xF800, 0x07E0, 0x001F, 0}, PixelFormat::Bits16},
        {124, 16, 3, {0x7C00, 0x03E0, 0x001F, 0x8000}, PixelFormat::Bits15},
        {40, 16, 3, {0x0F00, 0x00F0, 0x000F}, PixelFormat::Custom},
        {40, 32, 0, {}, PixelFormat::Bits32},
        {40, 32, 3, {0xFF0000, 0xFF00, 0xFF}, PixelFormat::Bits32},
        {52, 32, 3, {0xFF0000, 0xFF00, 0xFF}, PixelFormat::Bits32},
        {124, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, PixelFormat::Bits32},
        {124, 32, 3, {0xFF000000, 0xFF0000, 0xFF00, 0}, PixelFormat::Custom},
        {40, 32, 3, {0x3FF00000, 0xFFC00, 0x3FF}, PixelFormat::Custom},
    };
    for (const MaskCase& c : cases) {
        BmpFile f;
        f.headerSize = c.headerSize;
        f.bitCount = c.bits;
        f.compression = c.compression;
        f.masks = c.masks;
        f.pixels.assign(4, 0xFF);
        const Bitmap b = Load(f.Bytes());
        EXPECT_EQ(b.Format(), c.format) << c.headerSize << "/" << c.bits << " red mask " << std::hex
                                        << (c.masks.empty() ? 0 : c.masks[0]);
        if (c.format == PixelFormat::Custom) {
            EXPECT_EQ(b.Masks().red, c.masks[0]);
            EXPECT_EQ(b.BitCount(), static_cast<int>(c.bits));
        }
    }
}

TEST(BmpReader, CustomLayoutsDecodeThroughTheirMasks) {
    BmpFile f;
    f.headerSize = 124;
    f.bitCount = 32;
    f.compression = 3;
    f.masks = {0xFF000000, 0x00000FF0, 0x00FF0000};
    f.pixels = {0x10, 0x02, 0x30, 0x40};  // red 0x40, green 0x21, blue 0x30
    EXPECT_EQ(ColourAt(Load(f.Bytes()), 0, 0), MakeRgb(0x40, 0x21, 0x30));
}

// A run-length file of 4 by 3 pixels over a table whose index 0 is not black.
BmpFile RleFile(uint32_t bits, std::vector<uint8_t> data, int width = 4) {
    BmpFile f;
    f.width = width;
    f.height = 3;
    f.bitCount = bits;
    f.compression = bits == 8 ? 1 : 2;
    f.table = Ramp(size_t{1} << bits);
    f.table[0] = MakeRgb(9, 9, 9);
    f.imageSize = static_cast<uint32_t>(data.size());
    f.pixels = std::move(data);
    return f;
}

// The picture as table indices, top row first, by matching the colours back.
std::vector<int> Indices(const Bitmap& b, const std::vector<RgbQuad>& table) {
    std::vector<int> indices;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const RgbQuad c = ColourAt(b, x, y);
            int i = 0;
            while (i < static_cast<int>(table.size()) && table[i] != c)
                ++i;
            indices.push_back(i);
        }
    return indices;
}

struct RleCase {
    const char* what;
    uint32_t bits;
    std::vector<uint8_t> data;
    std::vector<int> indices;  // top row first
    int width = 4;
};

// The row source must give the whole decode's rows byte for byte, at every display depth.
void ExpectRowsMatchWholeDecode(const std::vector<uint8_t>& bytes, const std::string& what) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const Bitmap whole = Load(bytes, bits);
        const std::unique_ptr<RowSource> rows = OpenBmpRows(bytes.data(), bytes.size(), bits);
        ASSERT_EQ(rows->Width(), whole.Width()) << what;
        ASSERT_EQ(rows->Height(), whole.Height()) << what;
        EXPECT_EQ(rows->Layout().Format(), whole.Format()) << what;
        EXPECT_EQ(rows->Layout().BitCount(), whole.BitCount()) << what;
        EXPECT_EQ(rows->Layout().Palette(), whole.Palette()) << what;
        for (int y : {0, 0, 1, 2})
            EXPECT_EQ(std::memcmp(rows->Row(y), whole.Row(y), whole.Stride()), 0) << what << " row " << y;
    }
}

TEST(BmpReader, DecodesRunLengthDataClippedToThePictureWholeAndRowByRow) {
    const RleCase cases[] = {
        {"RLE8 runs and an absolute run",
         8,
         {4, 5, 0, 0, 0, 3, 1, 2, 3, 0, 1, 7, 0, 0, 2, 8, 2, 9, 0, 1},
         {8, 8, 9, 9, 1, 2, 3, 7, 5, 5, 5, 5}},
        {"RLE8 delta", 8, {1, 5, 0, 2, 2, 1, 1, 6, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 6, 5, 0, 0, 0}},
        {"RLE8 delta over a whole row",
         8,
         {1, 5, 0, 2, 1, 2, 1, 6, 0, 1},
         {0, 0, 6, 0, 0, 0, 0, 0, 5, 0, 0, 0}},
        {"RLE8 early end of line and picture",
         8,
         {2, 5, 0, 0, 1, 6, 0, 1},
         {0, 0, 0, 0, 6, 0, 0, 0, 5, 5, 0, 0}},
        {"RLE8 data ending without an end code", 8, {4, 5, 3}, {0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 5}},
        {"RLE8 absolute run without its pad byte", 8, {0, 3, 1, 2, 3}, {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0}},
        {"RLE4 odd runs alternate nibbles",
         4,
         {3, 0x12, 0, 0, 4, 0x34, 0, 1},
         {0, 0, 0, 0, 3, 4, 3, 4, 1, 2, 1, 0}},
        {"RLE4 absolute runs are padded to words",
         4,
         {0, 3, 0x56, 0x70, 1, 0x10, 0, 0, 0, 4, 0xAB, 0xCD, 0, 1},
         {0, 0, 0, 0, 10, 11, 12, 13, 5, 6, 7, 1}},
        {"RLE4 absolute run of an odd byte count",
         4,
         {0, 5, 0x56, 0x7A, 0xB0, 0, 1, 0x11, 0, 1},
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 6, 7, 10, 11, 1},
         6},
        {"RLE8 runs past the row end are clipped",
         8,
         {6, 5, 0, 0, 3, 7, 2, 8, 0, 1},
         {0, 0, 0, 0, 7, 7, 7, 8, 5, 5, 5, 5}},
        {"RLE8 absolute run past the row end is clipped and consumed",
         8,
         {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1, 6, 0, 1},
         {0, 0, 0, 0, 6, 0, 0, 0, 1, 2, 3, 4}},
        {"RLE8 delta past the row end drops the rest of the row",
         8,
         {0, 2, 5, 0, 2, 7, 0, 0, 1, 6, 0, 1},
         {0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0}},
        {"RLE8 delta past the last row ends the picture",
         8,
         {2, 5, 0, 2, 1, 3, 1, 6, 0, 1},
         {0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 0, 0}},
        {"RLE8 codes after the last row are ignored",
         8,
         {1, 1, 0, 0, 1, 2, 0, 0, 1, 3, 0, 0, 1, 5, 0, 1},
         {3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}},
        {"RLE4 run past the row end is clipped", 4, {5, 0x12, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 1, 2}},
        {"RLE4 absolute run past the row end is clipped and consumed",
         4,
         {0, 6, 0x12, 0x34, 0x56, 0, 1, 0x70, 0, 0, 1, 0x90, 0, 1},
         {0, 0, 0, 0, 9, 0, 0, 0, 1, 2, 3, 4}},
        {"RLE4 delta past the last row ends the picture",
         4,
         {1, 0x30, 0, 2, 1, 200, 1, 0x40, 0, 1},
         {0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0}},
    };
    for (const RleCase& c : cases) {
        const BmpFile f = RleFile(c.bits, c.data, c.width);
        const Bitmap b = Load(f.Bytes());
        EXPECT_EQ(b.Format(), PixelFormat::Device) << c.what;
        EXPECT_EQ(Indices(b, f.table), c.indices) << c.what;
        ExpectRowsMatchWholeDecode(f.Bytes(), c.what);
    }
}

TEST(BmpReader, RunLengthFilesTakeTheDisplaysLayoutAndPalette) {
    const BmpFile f = RleFile(8, {4, 5, 0, 0, 4, 1, 0, 0, 4, 0, 0, 1});
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const Bitmap b = Load(f.Bytes(), bits);
        EXPECT_EQ(b.Format(), PixelFormat::Device);
        EXPECT_EQ(b.BitCount(), bits);
        EXPECT_EQ(b.DeviceBits(), bits);
        const std::vector<RgbQuad> palette = bits == 8  ? f.table
                                             : bits < 8 ? DisplayColours(bits)
                                                        : std::vector<RgbQuad>{};
        EXPECT_EQ(b.Palette(), palette) << bits;
        ExpectPaddingClear(b);
    }
    // Colours the display cannot show become its nearest ones.
    EXPECT_EQ(ColourAt(Load(f.Bytes(), 16), 0, 2), MakeRgb(8, 247, 33));  // (5, 250, 35) in 5-5-5
    EXPECT_EQ(ColourAt(Load(f.Bytes(), 4), 0, 2), MakeRgb(0, 255, 0));
    EXPECT_EQ(ColourAt(Load(f.Bytes(), 1), 0, 0), MakeRgb(0, 0, 0));  // (9, 9, 9)
    EXPECT_EQ(ColourAt(Load(f.Bytes(), 32), 0, 1), MakeRgb(1, 254, 7));
    // Only run-length files depend on the display depth, which must be one.
    EXPECT_THROW(Load(f.Bytes(), 2), Error);
    EXPECT_EQ(Outcome(Rgb24Square().Bytes(), 2), "loads");
}

TEST(BmpReader, PixelsStartAtTheDataOffsetOnlyWhereItCannotOverlapTheTable) {
    BmpFile f;
    f.bitCount = 8;
    f.width = 2;
    f.table = Ramp(4);
    f.coloursUsed = 4;
    f.gap = {3, 3, 0, 0};
    f.pixels = {1, 2, 0, 0};
    const size_t tableEnd = 14 + 40 + 16;
    struct {
        int64_t offset;
        std::vector<uint8_t> pixels;  // the indices of the two pixels
    } cases[] = {
        {-1, {1, 2}},                                  // after the gap
        {static_cast<int64_t>(tableEnd), {3, 3}},      // the gap read as pixels
        {static_cast<int64_t>(tableEnd) - 4, {3, 3}},  // inside the table: ignored
        {0, {3, 3}},
        {static_cast<int64_t>(tableEnd + 8), {3, 3}},  // the end of the file: ignored
        {0x7FFFFFFF, {3, 3}},
    };
    for (const auto& c : cases) {
        f.dataOffset = c.offset;
        const Bitmap b = Load(f.Bytes());
        EXPECT_EQ(b.Row(0)[0], c.pixels[0]) << c.offset;
        EXPECT_EQ(b.Row(0)[1], c.pixels[1]) << c.offset;
    }
}

TEST(BmpReader, CoreHeaderDataOffsetInsideTheImpliedTableShortensIt) {
    BmpFile f;
    f.headerSize = 12;
    f.bitCount = 8;  // 256 entries implied; the file holds 3
    f.width = 2;
    f.table = Ramp(3);
    f.pixels = {2, 1, 0, 0};
    const Bitmap b = Load(f.Bytes());
    EXPECT_EQ(b.Palette(), Ramp(3));
    EXPECT_EQ(ColourAt(b, 0, 0), Ramp(3)[2]);
    EXPECT_EQ(ColourAt(b, 1, 0), Ramp(3)[1]);
}

TEST(BmpReader, SizeLimitIsCheckedBeforeAnythingIsAllocated) {
    EXPECT_EQ(PixelStorageBytes(12000, 9000, 24), 324000000u);  // a 100-megapixel photo fits
    EXPECT_EQ(PixelStorageBytes(16384, 8192, 32), kMaxPixelBytes);
    EXPECT_EQ(PixelStorageBytes(16384, 8193, 32), 0u);
    EXPECT_EQ(PixelStorageBytes(100000, 100000, 32), 0u);
    EXPECT_EQ(PixelStorageBytes(INT32_MAX, INT32_MAX, 32), 0u);
    EXPECT_EQ(PixelStorageBytes(3, 0, 8), 0u);
    EXPECT_EQ(PixelStorageBytes(-3, 2, 8), 0u);
    EXPECT_EQ(PixelStorageBytes(3, 2, 8), 8u);

    BmpFile f;  // a tiny file claiming 40 GB: refused without the allocation being tried
    f.width = 100000;
    f.height = 100000;
    f.bitCount = 32;
    f.pixels.resize(16);
    EXPECT_EQ(Outcome(f.Bytes()), Refusal(BmpFault::TooLarge));
    f.height = -100000;
    EXPECT_EQ(Outcome(f.Bytes()), Refusal(BmpFault::TooLarge));
    BmpFile rle = RleFile(8, {0, 1});
    rle.width = 100000;
    rle.height = 100000;
    EXPECT_EQ(Outcome(rle.Bytes(), 1), Refusal(BmpFault::TooLarge));
    EXPECT_EQ(RowsOutcome(rle.Bytes(), 1), Refusal(BmpFault::TooLarge));
    EXPECT_EQ(RowsOutcome(f.Bytes()), Refusal(BmpFault::TooLarge));
}

}  // namespace
}  // namespace tavo
