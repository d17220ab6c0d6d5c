// The image list in the settings key: "Filez", "FileNum" and one "File" value per entry row.
#pragma once

#include <string>

#include "framework/registry.h"
#include "framework/string_grid.h"

namespace tavo {

// The largest "Filez" a restore takes: the header row and 65,536 entries. The list
// commands never make more, so only a hand-edited registry holds more; the rows
// beyond are neither read nor made.
constexpr int kMaxRestoredRows = 65537;

using NameOfPath = std::string (*)(const std::string& path);

// Writes the row count, the selected row and every entry's path; when the key
// cannot be opened nothing is written, a value that cannot be written is skipped.
void SaveImageList(Registry& registry, const std::string& keyPath, const StringGrid& grid);
// Rebuilds the rows from the stored values (name cells by `nameOf`), then selects
// the stored row, which raises the grid's click when it is another row. The counts
// may also be stored as other integer types or as decimal text. When the key cannot
// be opened the list stays. Fails with "Grid index out of range" when the stored row
// lies beyond the list; the rows restored stay.
// Returns false when "Filez" exists but holds no count: the list then stays too, and
// saving it would lose the stored entries.
bool RestoreImageList(Registry& registry, const std::string& keyPath, StringGrid& grid, NameOfPath nameOf);

}  // namespace tavo
