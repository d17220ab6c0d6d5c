// Which JPEG library the program was built with.
#pragma once

#include <string>

namespace tavo {

// The library's name and version from its headers at build time, for example
// "libjpeg-turbo 2.1.5"; another libjpeg gives its interface version.
std::string JpegLibraryVersion();

}  // namespace tavo
