// Unit Reg: the four silent value routines on a key their caller opens and closes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/registry.h"

namespace tavo {

// Writes a REG_DWORD; a failure is ignored.
void WriteRegDWord(Registry& registry, RegKey key, const std::string& name, int32_t value);
// The first 4 bytes of the value, whatever its type; 0 when absent or unreadable.
int32_t ReadRegDWord(Registry& registry, RegKey key, const std::string& name);
// Writes REG_SZ with its terminating NUL; a failure is ignored.
void WriteRegString(Registry& registry, RegKey key, const std::string& name, const std::string& text);
// The value's text up to its first NUL (or its end), whatever its type; empty when absent or unreadable.
std::string ReadRegString(Registry& registry, RegKey key, const std::string& name);

// What a value holds as a number, for values that other hands may have written.
struct RegNumber {
    bool exists = false;  // false only when the value is absent
    // A REG_DWORD, big-endian REG_DWORD or REG_QWORD, or decimal text (REG_SZ,
    // REG_EXPAND_SZ; blanks around it allowed), that fits 32 bits signed; nothing
    // for any other value or when its data cannot be read.
    std::optional<int32_t> value;
};
// Silent like the routines above: every failure shows in the result.
RegNumber ReadRegNumber(Registry& registry, RegKey key, const std::string& name);

}  // namespace tavo
