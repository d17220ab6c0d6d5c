// The About box: the program's name, version, build tag and JPEG library.
#pragma once

#include <string>

namespace tavo {

extern const char kProgramName[];
extern const char kProgramVersion[];
extern const char kBuildTag[];

std::string AboutCaption();
// The box's lines, `jpegLibrary` naming the JPEG library the program was built with.
std::string AboutText(const std::string& jpegLibrary);

}  // namespace tavo
