// The popup menu model: items with captions, shortcut texts, enabling and commands.
#pragma once

#include <string>
#include <vector>

#include "framework/component.h"

namespace tavo {

class MenuItem : public Component {
public:
    MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    bool IsSeparator() const { return caption == "-"; }
    // The user chose the item (or pressed its shortcut): runs onClick when enabled.
    void Click() {
        if (enabled && visible && !IsSeparator() && onClick) onClick(this);
    }

    // "-" makes a separator.
    std::string caption;
    // The key name shown right of the caption ("Esc", "F9", "Ctrl+X"); empty for none.
    std::string shortCut;
    bool enabled = true;
    bool visible = true;
    NotifyEvent onClick;
};

class PopupMenu : public Component {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // The items in display order; the owner of the menu owns them.
    std::vector<MenuItem*> items;
    // Raised just before the menu opens; the binding then shows the items.
    NotifyEvent onPopup;

    void Popup() {
        if (onPopup) onPopup(this);
    }
    // A key pressed anywhere in the owning window, by its shortcut text. True when an
    // item carries that shortcut: the key belongs to the menu then, even when the
    // item is disabled and nothing happens.
    bool HandleShortCut(const std::string& keyText);
};

}  // namespace tavo
