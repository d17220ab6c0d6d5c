// Start with Windows: this program's value in the current user's Run key.
#pragma once

#include <string>

#include "framework/registry.h"

namespace tavo {

extern const char kRunKeyPath[];
extern const char kRunValueName[];

// True when the Run key opens for writing and reading and its value holds exactly
// `exePath` (letter case counts); false otherwise.
bool RunValueMatches(Registry& registry, const std::string& exePath);
// Writes the value; a key that cannot be created is passed over.
void WriteRunValue(Registry& registry, const std::string& exePath);
// Deletes the value; a key that cannot be opened or a missing value is passed over.
void DeleteRunValue(Registry& registry);

}  // namespace tavo
