// Reading Windows bitmap files held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/error.h"
#include "imaging/bitmap.h"

namespace tavo {

// Why a bitmap file was refused; what the user sees is the load-failure message.
enum class BmpFault {
    Truncated,
    BadSignature,
    BadHeaderSize,
    BadPlanes,
    BadBitCount,
    BadCompression,
    BadDimensions,
    BadColourTable,
    TooLarge,
    BadRunLength,
};

const char* BmpFaultName(BmpFault fault);

class BmpError : public Error {
public:
    explicit BmpError(BmpFault fault) : Error(BmpFaultName(fault)), fault_(fault) {}
    BmpFault Fault() const { return fault_; }

private:
    BmpFault fault_;
};

// Decodes a whole bitmap file. A zero-length file gives an empty bitmap.
// Run-length compressed files become Device bitmaps for a display of
// `displayBits` bits; every other file keeps its own layout (see ClassifyFormat).
// Throws BmpError for every malformed file and Error("Out of system resources")
// when the picture is too large to hold.
Bitmap LoadBmp(const uint8_t* data, size_t size, int displayBits);

}  // namespace tavo
