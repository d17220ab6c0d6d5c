// Which JPEG library the program was built with, from the library's own headers.
#include "imaging/jpeg_version.h"

#include <cstdio>

// clang-format off
extern "C" {
#include <jpeglib.h>
}
// clang-format on

#define TAVO_TEXT_OF(x) #x
#define TAVO_TEXT(x) TAVO_TEXT_OF(x)

namespace tavo {

std::string JpegLibraryVersion() {
#ifdef LIBJPEG_TURBO_VERSION
    return "libjpeg-turbo " TAVO_TEXT(LIBJPEG_TURBO_VERSION);
#else
    return "libjpeg, interface version " TAVO_TEXT(JPEG_LIB_VERSION);
#endif
}

}  // namespace tavo
