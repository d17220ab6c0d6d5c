// Digests of decoded pictures for golden tables: CRC-32, SHA-256 and the RGB rows they cover.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace tavo {
namespace testing {

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320).
uint32_t Crc32(const uint8_t* data, size_t size);
// Eight lower-case hex digits.
std::string Crc32Hex(const std::vector<uint8_t>& bytes);

// The SHA-256 digest as 64 lower-case hex digits.
std::string Sha256Hex(const uint8_t* data, size_t size);
std::string Sha256Hex(const std::vector<uint8_t>& bytes);

// The picture as rows from top to bottom, pixels left to right, three bytes
// red, green, blue each, no padding: the form the golden digests are taken of.
std::vector<uint8_t> RgbRows(const Bitmap& bitmap);

}  // namespace testing
}  // namespace tavo
