// Start with Windows: this program's value in the current user's Run key.
#pragma once

#include <cstdint>
#include <string>

#include "framework/program_module.h"
#include "framework/registry.h"

namespace tavo {

extern const char kRunKeyPath[];
extern const char kRunValueName[];

// The buffer of the executable's path: 260 characters, each of them up to three bytes in the program's
// code page (UTF-8 on current Windows, where one UTF-16 unit of a name takes at most three bytes).
constexpr std::uint32_t kExecutablePathBytes = 260 * 3;

// The running executable's path as the Run key records it: what the system gives in the buffer above,
// a path too long for it cut as the system cuts it, never with a NUL inside.
std::string ExecutablePath(const ProgramModule& module);

// True when the Run key opens for writing and reading and its value holds exactly
// `exePath` (letter case counts); false otherwise.
bool RunValueMatches(Registry& registry, const std::string& exePath);
// Writes the value; a key that cannot be created is passed over.
void WriteRunValue(Registry& registry, const std::string& exePath);
// Deletes the value; a key that cannot be opened or a missing value is passed over.
void DeleteRunValue(Registry& registry);

}  // namespace tavo
