// Handing a core Bitmap to GDI: the BITMAPINFO that describes its rows in place.
#pragma once

#include <windows.h>

#include "imaging/bitmap.h"

namespace tavo::win32 {

// A BITMAPINFOHEADER followed by room for a full colour table or three masks.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Describes `bitmap` so that GDI reads its Bits() directly, without a copy.
void DescribeBitmap(const Bitmap& bitmap, DibInfo& info);

// Draws the bitmap's pixels one to one with its top-left corner at (left, top).
void DrawBitmap(HDC dc, const Bitmap& bitmap, int left, int top);

}  // namespace tavo::win32
