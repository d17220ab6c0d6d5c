// The simple control models: label, group box, panel, push button, check box and radio group.
#pragma once

#include <string>
#include <vector>

#include "framework/component.h"

namespace tavo {

// A typeface by name and the height of its characters in pixels (the cell without its internal leading); an
// empty name is the window's own font.
struct Font {
    std::string name;
    int height = 0;
    bool bold = false;
    bool underline = false;
};

class Label : public Control {
public:
    void Click() {
        if (Enabled() && onClick) onClick(this);
    }
    bool rightAligned = false;
    bool centred = false;
    Font font;
    NotifyEvent onClick;
};

class GroupBox : public Control {};

class Panel : public Control {
public:
    bool bevel = false;
};

class Button : public Control {
public:
    // A press by the user (mouse, access key, space): runs onClick unless disabled.
    void Click() {
        if (Enabled() && onClick) onClick(this);
    }
    NotifyEvent onClick;
};

class CheckBox : public Control {
public:
    bool Checked() const { return checked_; }
    // A different state runs onClick, an equal one does nothing; also when disabled,
    // since the program itself may set a disabled box.
    void SetChecked(bool checked);
    // A click by the user: toggles the box unless it is disabled.
    void Toggle() {
        if (Enabled()) SetChecked(!checked_);
    }
    NotifyEvent onClick;

private:
    bool checked_ = false;
};

class RadioGroup : public Control {
public:
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    // -1 when no item is selected.
    int ItemIndex() const { return itemIndex_; }
    // Clamped to -1 .. items - 1; a different index runs onClick, an equal one does nothing.
    void SetItemIndex(int index);
    int columns = 1;
    NotifyEvent onClick;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

}  // namespace tavo
