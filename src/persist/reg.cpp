// Unit Reg: the silent value routines.
#include "persist/reg.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "persist/text_values.h"

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

namespace {

// The integer of `data` read as `bytes` bytes, least significant first unless `bigEndian`.
std::optional<int64_t> IntegerOf(const std::vector<uint8_t>& data, size_t bytes, bool bigEndian) {
    if (data.size() != bytes) return std::nullopt;
    uint64_t bits = 0;
    for (size_t i = 0; i < bytes; ++i)
        bits |= uint64_t{data[bigEndian ? bytes - 1 - i : i]} << (8 * i);
    if (bytes == 4) return static_cast<int32_t>(static_cast<uint32_t>(bits));
    return static_cast<int64_t>(bits);
}

std::optional<int32_t> NumberOf(uint32_t type, const std::vector<uint8_t>& data) {
    std::optional<int64_t> number;
    switch (type) {
        case kRegDword:
            number = IntegerOf(data, 4, false);
            break;
        case kRegDwordBigEndian:
            number = IntegerOf(data, 4, true);
            break;
        case kRegQword:
            number = IntegerOf(data, 8, false);
            break;
        case kRegSz:
        case kRegExpandSz: {
            const std::string text(data.begin(), std::find(data.begin(), data.end(), uint8_t{0}));
            return ParseDecimal(TrimText(text));
        }
        default:
            return std::nullopt;
    }
    if (!number || *number < INT32_MIN || *number > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(*number);
}

}  // namespace

RegNumber ReadRegNumber(Registry& registry, RegKey key, const std::string& name) {
    uint32_t type = 0;
    uint32_t size = 0;
    const long code = registry.QueryValueEx(key, name, &type, nullptr, &size);
    RegNumber number;
    number.exists = code != kErrorFileNotFound;
    if (code != kErrorSuccess) return number;
    std::vector<uint8_t> data(size, 0);
    if (size > 0 && registry.QueryValueEx(key, name, &type, data.data(), &size) != kErrorSuccess)
        return number;
    data.resize(std::min<size_t>(size, data.size()));
    number.value = NumberOf(type, data);
    return number;
}

}  // namespace tavo
