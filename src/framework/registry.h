// The registry port: the advapi32 calls the program makes, with their Win32 result codes.
#pragma once

#include <cstdint>
#include <string>

namespace tavo {

// An open key; the predefined roots are fixed values, as on Windows.
using RegKey = std::uintptr_t;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;

// Result codes (ERROR_*); every call returns one.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;

// Value types (REG_*).
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegDwordBigEndian = 5;
constexpr uint32_t kRegQword = 11;

// Access rights (KEY_*) and the one key option the program uses.
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyCreateSubKey = 0x0004;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kRegOptionNonVolatile = 0;

// Paths are relative to `parent` and use "\" between key names; names compare
// without regard to case. The class name is always empty and no security
// attributes are passed.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens the key, creating it and any missing parent first.
    virtual long CreateKeyEx(RegKey parent, const std::string& subKey, uint32_t options, uint32_t access,
                             RegKey* result) = 0;
    virtual long OpenKeyEx(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result) = 0;
    // With `data` null only the type and size are reported. A buffer smaller than
    // the data gives kErrorMoreData, the needed size in *size and no data.
    virtual long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                              uint32_t* size) = 0;
    virtual long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                            uint32_t size) = 0;
    virtual long DeleteValue(RegKey key, const std::string& name) = 0;
    virtual long CloseKey(RegKey key) = 0;
};

}  // namespace tavo
