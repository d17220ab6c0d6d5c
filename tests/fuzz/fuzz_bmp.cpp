// libFuzzer target: the whole load and the program's own row-by-row road agree on any bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "imaging/bmp_reader.h"
#include "imaging/pixels.h"
#include "imaging/stretch.h"

namespace {

constexpr int kDisplayDepths[] = {1, 4, 8, 16, 24, 32};
// Larger pictures are only checked for their storage and a small stretch, to keep each run fast.
constexpr int64_t kMostPixelsRead = int64_t{1} << 20;
constexpr int64_t kMostPixelsStretched = int64_t{1} << 14;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckPicture(const tavo::Bitmap& b) {
    Require(b.ImageSize() == b.Stride() * static_cast<size_t>(b.Height()));
    if (b.Empty() || int64_t{b.Width()} * b.Height() > kMostPixelsRead) return;
    const tavo::PixelReader reader(b);
    unsigned sum = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            sum += reader.Read(b.Row(y), x).green;
    volatile unsigned sink = sum;
    (void)sink;
}

// An output as the preparation makes one: the source's own format and palette, or 24 bits.
tavo::Bitmap Output(const tavo::Bitmap& layout, bool keep, int width, int height) {
    tavo::Bitmap out;
    if (keep && layout.Format() == tavo::PixelFormat::Device)
        out.SetDevice(layout.BitCount());
    else
        out.SetFormat(keep ? layout.Format() : tavo::PixelFormat::Bits24);
    if (keep) out.SetPalette(layout.Palette());
    out.SetSize(width, height);
    return out;
}

// Both roads stretch alike, byte for byte, to a smaller and a larger target.
void CompareRoads(const uint8_t* data, size_t size, const tavo::Bitmap& whole, int displayBits) {
    if (whole.Empty()) return;
    const bool small = int64_t{whole.Width()} * whole.Height() <= kMostPixelsStretched;
    // Reducing a monochrome picture or averaging for a low-colour display visits every source pixel.
    const bool wholeArea = whole.BitCount() == 1 || (displayBits <= 8 && displayBits < whole.BitCount());
    if (!small && wholeArea && int64_t{whole.Width()} * whole.Height() > kMostPixelsRead) return;
    const int w = small ? whole.Width() : 9, h = small ? whole.Height() : 6;
    const int targets[][2] = {{(w + 2) / 3, (h + 1) / 2}, {w + 1, h + 2}};
    for (const auto& target : targets)
        for (bool keep : {true, false}) {
            if (keep && whole.Format() == tavo::PixelFormat::Custom) continue;
            tavo::Bitmap a = Output(whole, keep, target[0], target[1]);
            tavo::Bitmap b = a;
            tavo::StretchBitmap(whole, a, displayBits);
            const std::unique_ptr<tavo::RowSource> rows = tavo::OpenBmpRows(data, size, displayBits);
            tavo::StretchRows(*rows, b, displayBits);
            Require(a.ImageSize() == b.ImageSize() && std::memcmp(a.Bits(), b.Bits(), a.ImageSize()) == 0);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The file's size picks the display depth that run-length files are decoded for.
    const int displayBits = kDisplayDepths[size % 6];
    bool loaded = false, opened = false;
    tavo::Bitmap whole;
    try {
        whole = tavo::LoadBmp(data, size, displayBits);
        CheckPicture(whole);
        loaded = true;
    } catch (const tavo::Error&) {
    }
    try {
        const std::unique_ptr<tavo::RowSource> rows = tavo::OpenBmpRows(data, size, displayBits);
        opened = true;
        Require(rows->Width() == whole.Width() && rows->Height() == whole.Height());
    } catch (const tavo::Error&) {
    }
    Require(loaded == opened);
    if (loaded) CompareRoads(data, size, whole, displayBits);
    return 0;
}
