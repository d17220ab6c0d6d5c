// Replacing a file by another on Windows, keeping the old one until the new one is complete.
#include <windows.h>

#include <string>

#include "base/replace_file.h"

namespace tavo {

bool ReplaceFileWith(const std::string& temporary, const std::string& target) {
    return MoveFileExA(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace tavo
