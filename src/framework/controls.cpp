// The simple control models' state changes.
#include "framework/controls.h"

#include <algorithm>
#include <utility>

namespace tavo {

void CheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Changed();
    if (onClick) onClick(this);
}

void RadioGroup::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = static_cast<int>(items_.size()) - 1;
    Changed();
}

void RadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Changed();
    if (onClick) onClick(this);
}

}  // namespace tavo
