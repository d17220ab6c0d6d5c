// Placeholder: replaced by the bitmap file reader.
#include "imaging/bmp_reader.h"

namespace tavo {
const char* BmpFaultName(BmpFault) { return "bitmap fault"; }
Bitmap LoadBmp(const uint8_t*, size_t, int) { throw BmpError(BmpFault::Truncated); }
}  // namespace tavo
