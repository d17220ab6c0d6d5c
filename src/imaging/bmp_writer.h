// Writing a bitmap as a Windows bitmap file (BITMAPINFOHEADER form, rows bottom-up).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace tavo {

// Everything of the file before the pixel rows; empty for an empty bitmap.
std::vector<uint8_t> EncodeBmpHeaders(const Bitmap& bitmap);
// The complete file image of `bitmap`; empty for an empty bitmap.
std::vector<uint8_t> EncodeBmpFile(const Bitmap& bitmap);

// Writes the file image to `fileName`, replacing any previous file only once
// everything is written. Throws Error("Cannot create file <name>") or
// Error("Stream write error").
void SaveBitmapToFile(const Bitmap& bitmap, const std::string& fileName);

}  // namespace tavo
