// Shortcut dispatch of the popup menu.
#include "framework/menu.h"

namespace tavo {

bool PopupMenu::HandleShortCut(const std::string& keyText) {
    if (keyText.empty()) return false;
    for (MenuItem* item : items) {
        if (item->shortCut != keyText) continue;
        item->Click();
        return true;
    }
    return false;
}

}  // namespace tavo
