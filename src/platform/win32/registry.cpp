// The registry port on advapi32.
#include "platform/win32/persist_ports.h"

namespace tavo::win32 {

namespace {

// The predefined root is spelled by Windows' own constant, which is sign-extended on 64-bit builds.
HKEY ToHkey(RegKey key) {
    return key == kHkeyCurrentUser ? HKEY_CURRENT_USER : reinterpret_cast<HKEY>(key);
}

}  // namespace

long RegistryWin32::CreateKeyEx(RegKey parent, const std::string& subKey, uint32_t options, uint32_t access,
                                RegKey* result) {
    HKEY key = nullptr;
    char noClass[] = "";
    const LONG code =
        RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, noClass, options, access, nullptr, &key, nullptr);
    if (code == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(key);
    return code;
}

long RegistryWin32::OpenKeyEx(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result) {
    HKEY key = nullptr;
    const LONG code = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access, &key);
    if (code == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(key);
    return code;
}

long RegistryWin32::QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                 uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = size ? *size : 0;
    const LONG code = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data, &valueSize);
    if (type) *type = valueType;
    if (size) *size = valueSize;
    return code;
}

long RegistryWin32::SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                               uint32_t size) {
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long RegistryWin32::DeleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueA(ToHkey(key), name.c_str());
}

long RegistryWin32::CloseKey(RegKey key) {
    return RegCloseKey(ToHkey(key));
}

std::uint32_t ProgramModuleWin32::ModuleFileName(char* buffer, std::uint32_t size) const {
    return GetModuleFileNameA(nullptr, buffer, size);
}

}  // namespace tavo::win32
