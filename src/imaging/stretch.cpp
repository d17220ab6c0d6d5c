// Stretching a source picture onto a bitmap: nearest neighbour, halftone, monochrome reduction.
#include "imaging/stretch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/pixels.h"

namespace tavo {
namespace {

bool SameLayout(const Bitmap& a, const Bitmap& b) {
    if (a.BitCount() != b.BitCount() || a.BitCount() <= 8) return false;
    const ChannelMasks& ma = a.Masks();
    const ChannelMasks& mb = b.Masks();
    return ma.red == mb.red && ma.green == mb.green && ma.blue == mb.blue;
}

// The source interval [first, last) that output index d covers.
struct Span {
    int first;
    int last;
};

// Nearest neighbour for enlarging, all source pixels that fall onto d for reducing.
Span ReductionSpan(int d, int destSize, int sourceSize) {
    if (destSize >= sourceSize) {
        const int s = NearestSource(d, destSize, sourceSize);
        return {s, s + 1};
    }
    // ReducedTarget is monotone, so the pixels falling onto d are contiguous.
    int first = static_cast<int>(static_cast<int64_t>(d) * sourceSize / destSize);
    while (first > 0 && ReducedTarget(first - 1, sourceSize, destSize) >= d)
        --first;
    while (ReducedTarget(first, sourceSize, destSize) < d)
        ++first;
    int last = first;
    while (last < sourceSize && ReducedTarget(last, sourceSize, destSize) == d)
        ++last;
    return {first, last};
}

// The source area output index d covers, for averaging.
Span AreaSpan(int d, int destSize, int sourceSize) {
    const int first = static_cast<int>(static_cast<int64_t>(d) * sourceSize / destSize);
    int last = static_cast<int>((static_cast<int64_t>(d + 1) * sourceSize + destSize - 1) / destSize);
    if (last <= first) last = first + 1;
    if (last > sourceSize) last = sourceSize;
    return {first, last};
}

std::vector<int> NearestMap(int destSize, int sourceSize) {
    std::vector<int> map(static_cast<size_t>(destSize));
    for (int d = 0; d < destSize; ++d)
        map[static_cast<size_t>(d)] = NearestSource(d, destSize, sourceSize);
    return map;
}

// Writes colours into the destination, remembering palette matches.
class ColourSink {
public:
    explicit ColourSink(const Bitmap& dest) : writer_(dest), palette_(dest.BitCount() <= 8) {}
    void Write(uint8_t* row, int x, RgbQuad c) {
        if (!palette_) {
            writer_.Write(row, x, c);
            return;
        }
        const uint32_t key =
            (static_cast<uint32_t>(c.red) << 16) | (static_cast<uint32_t>(c.green) << 8) | c.blue;
        Entry& e = cache_[(key ^ (key >> 12)) & (kCacheSize - 1)];
        if (!e.valid || e.key != key) e = Entry{key, writer_.Match(c), true};
        writer_.WriteIndex(row, x, e.index);
    }

private:
    struct Entry {
        uint32_t key = 0;
        uint8_t index = 0;
        bool valid = false;
    };
    static constexpr size_t kCacheSize = 4096;
    PixelWriter writer_;
    bool palette_;
    std::vector<Entry> cache_ = std::vector<Entry>(kCacheSize);
};

template <size_t N>
void CopyPixelsOf(const uint8_t* in, uint8_t* out, const std::vector<int>& columns) {
    for (size_t x = 0; x < columns.size(); ++x)
        std::memcpy(out + x * N, in + static_cast<size_t>(columns[x]) * N, N);
}

void CopyPixels(const uint8_t* in, uint8_t* out, const std::vector<int>& columns, size_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 2:
            CopyPixelsOf<2>(in, out, columns);
            return;
        case 3:
            CopyPixelsOf<3>(in, out, columns);
            return;
        default:
            CopyPixelsOf<4>(in, out, columns);
            return;
    }
}

void StretchNearest(RowSource& source, Bitmap& dest) {
    const Bitmap& layout = source.Layout();
    const std::vector<int> columns = NearestMap(dest.Width(), source.Width());
    const PixelReader reader(layout);
    ColourSink sink(dest);
    const bool copyBytes = SameLayout(layout, dest);
    const size_t bytesPerPixel = static_cast<size_t>(dest.BitCount() / 8);
    int previous = -1;
    for (int y = 0; y < dest.Height(); ++y) {
        const int sy = NearestSource(y, dest.Height(), source.Height());
        uint8_t* out = dest.Row(y);
        if (sy == previous) {
            std::memcpy(out, dest.Row(y - 1), dest.Stride());
            continue;
        }
        previous = sy;
        const uint8_t* in = source.Row(sy);
        if (copyBytes && dest.Width() == source.Width()) {
            // The pixels only: a source row's padding may hold anything.
            std::memcpy(out, in, static_cast<size_t>(dest.Width()) * bytesPerPixel);
            continue;
        }
        if (copyBytes) {
            CopyPixels(in, out, columns, bytesPerPixel);
            continue;
        }
        for (int x = 0; x < dest.Width(); ++x)
            sink.Write(out, x, reader.Read(in, columns[x]));
    }
}

void StretchHalftone(RowSource& source, Bitmap& dest) {
    const PixelReader reader(source.Layout());
    ColourSink sink(dest);
    const int width = dest.Width();
    std::vector<RgbQuad> line(static_cast<size_t>(source.Width()));
    std::vector<Span> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[x] = AreaSpan(x, width, source.Width());
    std::vector<uint64_t> sums(static_cast<size_t>(width) * 3);
    for (int y = 0; y < dest.Height(); ++y) {
        const Span rows = AreaSpan(y, dest.Height(), source.Height());
        std::fill(sums.begin(), sums.end(), 0);
        for (int sy = rows.first; sy < rows.last; ++sy) {
            reader.ReadRow(source.Row(sy), source.Width(), line.data());
            for (int x = 0; x < width; ++x)
                for (int sx = columns[x].first; sx < columns[x].last; ++sx) {
                    sums[3 * x] += line[sx].red;
                    sums[3 * x + 1] += line[sx].green;
                    sums[3 * x + 2] += line[sx].blue;
                }
        }
        uint8_t* out = dest.Row(y);
        for (int x = 0; x < width; ++x) {
            const uint64_t n =
                static_cast<uint64_t>(rows.last - rows.first) * (columns[x].last - columns[x].first);
            const auto avg = [&](int i) { return static_cast<uint8_t>((sums[3 * x + i] + n / 2) / n); };
            sink.Write(out, x, MakeRgb(avg(0), avg(1), avg(2)));
        }
    }
}

// How dark a colour looks: its luma, weighted as the eye weighs the channels.
int Darkness(RgbQuad c) {
    return -(299 * c.red + 587 * c.green + 114 * c.blue);
}

// Under the default stretch mode the pixels dropped from a 1-bit source are
// combined with the ones kept so that black prevails: the darker of the two
// table colours, whichever its index (index 0 when they look alike).
void StretchMonochrome(RowSource& source, Bitmap& dest) {
    const PixelReader reader(source.Layout());
    ColourSink sink(dest);
    const int width = dest.Width();
    std::vector<Span> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[x] = ReductionSpan(x, width, source.Width());
    const uint8_t setBit = 0x80, clearBit = 0;
    const RgbQuad colours[2] = {reader.Read(&clearBit, 0), reader.Read(&setBit, 0)};
    const uint8_t dark = Darkness(colours[1]) > Darkness(colours[0]) ? 1 : 0;
    std::vector<uint8_t> bits(static_cast<size_t>(width));
    for (int y = 0; y < dest.Height(); ++y) {
        const Span rows = ReductionSpan(y, dest.Height(), source.Height());
        std::fill(bits.begin(), bits.end(), static_cast<uint8_t>(1 - dark));
        for (int sy = rows.first; sy < rows.last; ++sy) {
            const uint8_t* in = source.Row(sy);
            for (int x = 0; x < width; ++x)
                for (int sx = columns[x].first; sx < columns[x].last && bits[x] != dark; ++sx)
                    bits[x] = static_cast<uint8_t>((in[sx >> 3] >> (7 - (sx & 7))) & 1);
        }
        uint8_t* out = dest.Row(y);
        for (int x = 0; x < width; ++x)
            sink.Write(out, x, colours[bits[x]]);
    }
}

}  // namespace

void StretchRows(RowSource& source, Bitmap& dest, int displayBits) {
    if (dest.Empty() || source.Width() <= 0 || source.Height() <= 0) return;
    const int sourceBits = source.Layout().BitCount();
    if (sourceBits == 1) {
        StretchMonochrome(source, dest);
    } else if (displayBits <= 8 && displayBits < sourceBits) {
        StretchHalftone(source, dest);
    } else {
        StretchNearest(source, dest);
    }
}

void StretchBitmap(const Bitmap& source, Bitmap& dest, int displayBits) {
    BitmapRows rows(source);
    StretchRows(rows, dest, displayBits);
}

}  // namespace tavo
