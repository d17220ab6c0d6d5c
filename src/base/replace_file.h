// Replacing one file by another, the one file primitive each platform provides.
#pragma once

#include <string>

namespace tavo {

// Moves `temporary` over `target`, replacing it; false on failure.
bool ReplaceFileWith(const std::string& temporary, const std::string& target);

}  // namespace tavo
