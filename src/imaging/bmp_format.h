// The fixed numbers of the Windows bitmap file format, shared by the reader and the writer.
#pragma once

#include <cstdint>

namespace tavo::bmpfile {

constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the OS/2 header, with 3-byte colour-table entries
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMasksSize = 12;  // three masks after a 40-byte header of a bit-field file

// Compression codes.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;

}  // namespace tavo::bmpfile
