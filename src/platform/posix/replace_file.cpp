// Replacing a file by another on POSIX systems: rename is atomic there.
#include <cstdio>
#include <string>

#include "base/replace_file.h"

namespace tavo {

bool ReplaceFileWith(const std::string& temporary, const std::string& target) {
    return std::rename(temporary.c_str(), target.c_str()) == 0;
}

}  // namespace tavo
