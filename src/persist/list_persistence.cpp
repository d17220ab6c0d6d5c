// Saving and restoring the image list with the Reg value routines.
#include "persist/list_persistence.h"

#include <algorithm>

#include "base/error.h"
#include "persist/reg.h"
#include "persist/scoped_key.h"

namespace tavo {

namespace {

constexpr char kFilez[] = "Filez";
constexpr char kFileNum[] = "FileNum";
constexpr int kNameCol = 0;
constexpr int kPathCol = 1;

std::string FileValueName(int row) {
    return "File" + std::to_string(row);
}

}  // namespace

void SaveImageList(Registry& registry, const std::string& keyPath, const StringGrid& grid) {
    ScopedKey key(registry);
    if (registry.CreateKeyEx(kHkeyCurrentUser, keyPath, kRegOptionNonVolatile, kKeyWrite, &key.key) !=
        kErrorSuccess)
        return;
    WriteRegDWord(registry, key.key, kFilez, grid.RowCount());
    WriteRegDWord(registry, key.key, kFileNum, grid.Row());
    for (int row = 1; row < grid.RowCount(); ++row)
        WriteRegString(registry, key.key, FileValueName(row), grid.Cell(kPathCol, row));
}

bool RestoreImageList(Registry& registry, const std::string& keyPath, StringGrid& grid, NameOfPath nameOf) {
    ScopedKey key(registry);
    if (registry.OpenKeyEx(kHkeyCurrentUser, keyPath, kKeyQueryValue, &key.key) != kErrorSuccess) return true;
    const RegNumber stored = ReadRegNumber(registry, key.key, kFilez);
    if (stored.exists && !stored.value) return false;
    const int count = std::min(stored.value.value_or(0), kMaxRestoredRows);
    {
        ControlUpdate update(grid);
        if (count < 2) {
            grid.SetRowCount(2);
            grid.SetCell(kPathCol, 1, "");
            grid.SetCell(kNameCol, 1, "");
        } else {
            grid.SetRowCount(count);
        }
        for (int row = 1; row < count; ++row) {
            grid.SetCell(kPathCol, row, ReadRegString(registry, key.key, FileValueName(row)));
            grid.SetCell(kNameCol, row, nameOf(grid.Cell(kPathCol, row)));
        }
    }
    const int selected = ReadRegNumber(registry, key.key, kFileNum).value.value_or(0);
    if (selected <= 0 || selected == grid.Row()) return true;
    if (selected >= grid.RowCount()) throw Error("Grid index out of range");
    grid.SelectRow(selected);
    return true;
}

}  // namespace tavo
