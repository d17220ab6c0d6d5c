// Unit Reg: the silent value routines.
#include "persist/reg.h"

#include <cstring>
#include <vector>

namespace tavo {

void WriteRegDWord(Registry& registry, RegKey key, const std::string& name, int32_t value) {
    uint8_t bytes[4];
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    registry.SetValueEx(key, name, kRegDword, bytes, sizeof bytes);
}

int32_t ReadRegDWord(Registry& registry, RegKey key, const std::string& name) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t type = 0;
    uint32_t size = sizeof bytes;
    registry.QueryValueEx(key, name, &type, bytes, &size);
    const uint32_t bits = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(bits);
}

void WriteRegString(Registry& registry, RegKey key, const std::string& name, const std::string& text) {
    registry.SetValueEx(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                        static_cast<uint32_t>(text.size() + 1));
}

// The buffer starts zeroed and the text never reads past the size the second call
// reports, so a value that changed or vanished in between gives a shorter or empty text.
std::string ReadRegString(Registry& registry, RegKey key, const std::string& name) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (registry.QueryValueEx(key, name, &type, nullptr, &size) != kErrorSuccess || size == 0) return {};
    std::vector<uint8_t> buffer(size, 0);
    if (registry.QueryValueEx(key, name, &type, buffer.data(), &size) != kErrorSuccess) return {};
    if (size > buffer.size()) size = static_cast<uint32_t>(buffer.size());
    const void* nul = std::memchr(buffer.data(), 0, size);
    const size_t length = nul ? static_cast<const uint8_t*>(nul) - buffer.data() : size;
    return std::string(reinterpret_cast<const char*>(buffer.data()), length);
}

}  // namespace tavo
