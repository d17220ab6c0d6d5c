// The string grid's cells and the rules of its selection and click notification.
#include "framework/string_grid.h"

#include <algorithm>

namespace tavo {

namespace {
const std::string kNoText;
}

StringGrid::StringGrid() : colWidths(5, 64), cells_(5, std::vector<std::string>(5)) {}

void StringGrid::SetColCount(int count) {
    colCount_ = std::max(1, count);
    for (auto& row : cells_)
        row.resize(colCount_);
    colWidths.resize(colCount_, 64);
    Changed();
}

void StringGrid::SetRowCount(int count) {
    rowCount_ = std::max(fixedRows_ + 1, count);
    cells_.resize(rowCount_, std::vector<std::string>(colCount_));
    row_ = std::min(row_, rowCount_ - 1);
    Changed();
}

void StringGrid::SetFixedRows(int count) {
    fixedRows_ = std::max(0, count);
    if (rowCount_ < fixedRows_ + 1) SetRowCount(fixedRows_ + 1);
    row_ = std::max(row_, fixedRows_);
    Changed();
}

const std::string& StringGrid::Cell(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return kNoText;
    return cells_[row][col];
}

void StringGrid::SetCell(int col, int row, const std::string& text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
    cells_[row][col] = text;
    Changed();
}

void StringGrid::SelectRow(int row) {
    if (IsEntryRow(row)) MoveAndNotify(row);
}

void StringGrid::LeftButtonDown(int hitRow) {
    pressed_ = IsEntryRow(hitRow);
    if (pressed_) MoveTo(hitRow);
}

void StringGrid::LeftButtonDrag(int hitRow) {
    if (pressed_ && IsEntryRow(hitRow)) MoveTo(hitRow);
}

void StringGrid::LeftButtonUp() {
    if (!pressed_) return;
    pressed_ = false;
    Notify();
}

void StringGrid::DoubleClick() {
    pressed_ = false;
    if (onDblClick) onDblClick(this);
}

bool StringGrid::PressKey(GridKey key) {
    const int last = rowCount_ - 1;
    const int page = std::max(1, pageRows);
    int target = row_;
    switch (key) {
        case GridKey::Up:
        case GridKey::Left:
            target = row_ - 1;
            break;
        case GridKey::Down:
        case GridKey::Right:
            target = row_ + 1;
            break;
        case GridKey::PageUp:
            target = row_ - page;
            break;
        case GridKey::PageDown:
            target = row_ + page;
            break;
        case GridKey::Home:
            target = fixedRows_;
            break;
        case GridKey::End:
            target = last;
            break;
    }
    return MoveAndNotify(std::clamp(target, fixedRows_, last));
}

void StringGrid::WheelNotch(bool down) {
    const int target = down ? row_ + 1 : row_ - 1;
    if (IsEntryRow(target)) MoveAndNotify(target);
}

bool StringGrid::MoveTo(int row) {
    if (row == row_) return false;
    row_ = row;
    Changed();
    return true;
}

bool StringGrid::MoveAndNotify(int row) {
    if (!MoveTo(row)) return false;
    Notify();
    return true;
}

}  // namespace tavo
