// The string grid model: cells, a fixed header row, whole-row selection and its click notification.
#pragma once

#include <string>
#include <vector>

#include "framework/component.h"

namespace tavo {

enum class GridKey { Up, Down, Left, Right, PageUp, PageDown, Home, End };

// Rows below FixedRows() are header rows and never selected. Row() is the selected
// row. onClick is the selection-change notification: it is raised when the user's
// mouse, a key or the wheel moves the selection, when the selected row is clicked,
// and when SelectRow picks another row; never when a row-count change moves it.
class StringGrid : public Control {
public:
    StringGrid();

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    int FixedRows() const { return fixedRows_; }
    int Row() const { return row_; }

    void SetColCount(int count);
    // Never below FixedRows() + 1; a selection beyond the new last row moves to it silently.
    void SetRowCount(int count);
    void SetFixedRows(int count);

    // Cells outside the grid read as empty and ignore writes.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, const std::string& text);

    // Selection by the program: another entry row raises onClick; the selected
    // row, a header row or a row outside the grid changes nothing.
    void SelectRow(int row);

    // Input forwarded by the binding. `hitRow` is the row under the pointer, -1
    // below the last row or outside the cells.
    void LeftButtonDown(int hitRow);
    // The pointer moved while the button is held.
    void LeftButtonDrag(int hitRow);
    // The release after a press on an entry row raises onClick once.
    void LeftButtonUp();
    // The second press of a double-click: runs onDblClick; its release raises nothing.
    void DoubleClick();
    // True when the key moved the selection.
    bool PressKey(GridKey key);
    // One notch of the wheel while the grid has the focus.
    void WheelNotch(bool down);

    std::vector<int> colWidths;
    int defaultRowHeight = 24;
    // Entry rows one page holds, for Page Up and Page Down (the binding keeps it current).
    int pageRows = 10;
    NotifyEvent onClick;
    NotifyEvent onDblClick;

private:
    bool IsEntryRow(int row) const { return row >= fixedRows_ && row < rowCount_; }
    // Moves the selection; true when it changed.
    bool MoveTo(int row);
    bool MoveAndNotify(int row);
    void Notify() {
        if (onClick) onClick(this);
    }

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedRows_ = 1;
    int row_ = 1;
    bool pressed_ = false;
    // Indexed [row][col].
    std::vector<std::vector<std::string>> cells_;
};

}  // namespace tavo
