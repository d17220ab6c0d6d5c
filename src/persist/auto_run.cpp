// The Run key's value: read, written and deleted silently.
#include "persist/auto_run.h"

#include <algorithm>

#include "persist/reg.h"
#include "persist/scoped_key.h"

namespace tavo {

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueName[] = "TavoWallpaper";

std::string ExecutablePath(const ProgramModule& module) {
    char buffer[kExecutablePathBytes] = {};
    const std::uint32_t length = module.ModuleFileName(buffer, kExecutablePathBytes);
    // A cut path ends at its NUL (Windows Vista and later) or at the end of the buffer (older systems).
    const char* begin = buffer;
    const char* end = begin + (length < kExecutablePathBytes ? length : kExecutablePathBytes);
    return std::string(begin, std::find(begin, end, '\0'));
}

// Write access is asked for as well, so an account that may not change the Run
// key sees the program as not registered.
bool RunValueMatches(Registry& registry, const std::string& exePath) {
    ScopedKey key(registry);
    if (registry.OpenKeyEx(kHkeyCurrentUser, kRunKeyPath, kKeyWrite | kKeyQueryValue, &key.key) !=
        kErrorSuccess)
        return false;
    return !exePath.empty() && ReadRegString(registry, key.key, kRunValueName) == exePath;
}

void WriteRunValue(Registry& registry, const std::string& exePath) {
    ScopedKey key(registry);
    if (registry.CreateKeyEx(kHkeyCurrentUser, kRunKeyPath, kRegOptionNonVolatile, kKeyWrite, &key.key) !=
        kErrorSuccess)
        return;
    WriteRegString(registry, key.key, kRunValueName, exePath);
}

void DeleteRunValue(Registry& registry) {
    ScopedKey key(registry);
    if (registry.OpenKeyEx(kHkeyCurrentUser, kRunKeyPath, kKeyWrite, &key.key) != kErrorSuccess) return;
    registry.DeleteValue(key.key, kRunValueName);
}

}  // namespace tavo
