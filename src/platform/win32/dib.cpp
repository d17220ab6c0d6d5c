// Bitmap descriptions for GDI and one-to-one drawing of a core Bitmap.
#include "platform/win32/dib.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tavo::win32 {

namespace {

void SetMasks(DibInfo& info, const ChannelMasks& masks) {
    info.header.biCompression = BI_BITFIELDS;
    const DWORD values[3] = {masks.red, masks.green, masks.blue};
    std::memcpy(info.colours, values, sizeof values);
}

}  // namespace

void DescribeBitmap(const Bitmap& bitmap, DibInfo& info) {
    std::memset(&info, 0, sizeof info);
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bitmap.Width();
    info.header.biHeight = bitmap.Height();  // positive: bottom-up rows, as the Bitmap keeps them
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitmap.BitCount());
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = static_cast<DWORD>(bitmap.ImageSize());
    if (bitmap.BitCount() <= 8) {
        const std::vector<RgbQuad> colours = IndexColours(bitmap);
        const size_t count = std::min<size_t>(colours.size(), size_t{1} << bitmap.BitCount());
        for (size_t i = 0; i < count; ++i) {
            info.colours[i] = RGBQUAD{colours[i].blue, colours[i].green, colours[i].red, 0};
        }
        info.header.biClrUsed = static_cast<DWORD>(count);
        return;
    }
    const ChannelMasks& masks = bitmap.Masks();
    const bool plain16 = bitmap.BitCount() == 16 && masks.red == kMasks555.red &&
                         masks.green == kMasks555.green && masks.blue == kMasks555.blue;
    const bool plain32 = bitmap.BitCount() == 32 && masks.red == kMasks888.red &&
                         masks.green == kMasks888.green && masks.blue == kMasks888.blue;
    if ((bitmap.BitCount() == 16 && !plain16) || (bitmap.BitCount() == 32 && !plain32)) SetMasks(info, masks);
}

void DrawBitmap(HDC dc, const Bitmap& bitmap, int left, int top) {
    if (bitmap.Empty()) return;
    DibInfo info;
    DescribeBitmap(bitmap, info);
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(bitmap.Width()), static_cast<DWORD>(bitmap.Height()),
                      0, 0, 0, static_cast<UINT>(bitmap.Height()), bitmap.Bits(),
                      reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
}

}  // namespace tavo::win32
