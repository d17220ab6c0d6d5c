// libFuzzer target: any bytes given to the bitmap file reader load or are refused, never misbehave.
#include <cstddef>
#include <cstdint>

#include "imaging/bmp_reader.h"
#include "imaging/pixels.h"

namespace {

constexpr int kDisplayDepths[] = {1, 4, 8, 16, 24, 32};
// Larger pictures are only checked for their storage, to keep each run fast.
constexpr int64_t kMostPixelsRead = int64_t{1} << 20;

void CheckPicture(const tavo::Bitmap& b) {
    if (b.ImageSize() != b.Stride() * static_cast<size_t>(b.Height())) __builtin_trap();
    if (b.Empty() || int64_t{b.Width()} * b.Height() > kMostPixelsRead) return;
    const tavo::PixelReader reader(b);
    unsigned sum = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            sum += reader.Read(b.Row(y), x).green;
    volatile unsigned sink = sum;
    (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The file's size picks the display depth that run-length files are decoded for.
    const int displayBits = kDisplayDepths[size % 6];
    try {
        CheckPicture(tavo::LoadBmp(data, size, displayBits));
    } catch (const tavo::Error&) {
    }
    return 0;
}
