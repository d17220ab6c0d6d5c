// The platform-independent part of the file access: the temporary file's name.
#include "base/files.h"

#include <chrono>
#include <cstdio>
#include <random>

namespace tavo {

void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size) {
    WriteFileReplacing(path, std::vector<ByteSpan>{{data, size}});
}

// Cutting at any of the separators keeps the name in the target's folder on
// both platforms: where one is an ordinary character, it only starts the name.
std::string TemporaryNameBeside(const std::string& target) {
    const size_t slash = target.find_last_of("/\\:");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::random_device random;
    const auto clock = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned tag = random() ^ (clock * 2654435761u);
    char name[32];
    std::snprintf(name, sizeof name, "~tavo%08x.tmp", tag);
    return folder + name;
}

}  // namespace tavo
