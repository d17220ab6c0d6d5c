// The main window's keyboard: menu shortcuts before the focused control, access keys, the context menu.
#include <cctype>
#include <string>

#include "platform/win32/grid_binding.h"
#include "platform/win32/main_window.h"

namespace tavo::win32 {

namespace {

bool Down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// The key's text as the menu shows shortcuts ("Esc", "F9", "Ctrl+X"); empty for keys no item can carry.
std::string ShortCutText(WPARAM key) {
    std::string name;
    if (key == VK_ESCAPE) {
        name = "Esc";
    } else if (key == VK_DELETE) {
        name = "Del";
    } else if (key == VK_INSERT) {
        name = "Ins";
    } else if (key >= VK_F1 && key <= VK_F24) {
        name = "F" + std::to_string(key - VK_F1 + 1);
    } else if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        name = std::string(1, static_cast<char>(key));
    } else {
        return std::string();
    }
    std::string prefix;
    if (Down(VK_SHIFT)) prefix += "Shift+";
    if (Down(VK_CONTROL)) prefix += "Ctrl+";
    if (Down(VK_MENU)) prefix += "Alt+";
    return prefix + name;
}

// The keys that open the context menu when released: the Menu key and Shift+F10.
bool IsMenuKey(WPARAM key) {
    return key == VK_APPS || (key == VK_F10 && Down(VK_SHIFT));
}

}  // namespace

bool MainWindow::OwnsWindow(HWND hwnd) const {
    return Handle() && (hwnd == Handle() || IsChild(Handle(), hwnd));
}

bool MainWindow::PreTranslate(const MSG& msg) {
    if (!OwnsWindow(msg.hwnd) || !form_.Visible()) return false;
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (IsMenuKey(msg.wParam)) return true;
            return TakeShortCut(msg.wParam);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (!IsMenuKey(msg.wParam)) return false;
            OpenPopup();
            return true;
        case WM_SYSCHAR:
            return TakeAccessKey(static_cast<char>(msg.wParam), true);
        case WM_CHAR:
            return TakeAccessKey(static_cast<char>(msg.wParam), false);
        case WM_RBUTTONUP:
            OpenPopup();
            return true;
        case WM_LBUTTONDBLCLK:
            // The header row belongs to the grid: a double-click there applies the selected entry.
            if (grid_ && grid_->IsHeader(msg.hwnd)) form_.Filez.DoubleClick();
            return false;
        default:
            return false;
    }
}

// The menu takes its keys wherever the focus is, the edit box included, even
// when the item is disabled (the key then does nothing).
bool MainWindow::TakeShortCut(WPARAM key) {
    const std::string text = ShortCutText(key);
    return !text.empty() && form_.PopupMenu1.HandleShortCut(text);
}

// With Alt from anywhere; without it only while the focus is on a control that
// takes no typed text, which is every focusable control but the delay edit box.
bool MainWindow::TakeAccessKey(char letter, bool alt) {
    if (!std::isalnum(static_cast<unsigned char>(letter))) return false;
    if (!alt) {
        const ControlBinding* focused = BindingContaining(bindings_, GetFocus());
        if (focused && focused->TakesTypedText()) return false;
    }
    Control* target = form_.AccessKeyTarget(letter);
    ControlBinding* binding = target ? BindingOf(bindings_, target) : nullptr;
    if (!binding) return false;
    binding->RunAccessKey();
    return true;
}

// The context menu at the pointer: its enabling is computed now, then the chosen item runs
// once the menu is gone.
void MainWindow::OpenPopup() {
    PopupMenu& popup = form_.PopupMenu1;
    popup.Popup();
    const int index = TrackPopup(popup) - kIdMenuItem0;
    if (index >= 0 && index < static_cast<int>(popup.items.size())) popup.items[index]->Click();
}

// The menu's command identifier the user chose, 0 for none.
int MainWindow::TrackPopup(const PopupMenu& popup) {
    OwnedMenu menu;
    for (size_t i = 0; i < popup.items.size(); ++i) {
        const MenuItem& item = *popup.items[i];
        if (!item.visible) continue;
        if (item.IsSeparator()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::string text = item.shortCut.empty() ? item.caption : item.caption + "\t" + item.shortCut;
        AppendMenuA(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), kIdMenuItem0 + i,
                    text.c_str());
    }
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(Handle());
    const int chosen = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                                       at.x, at.y, 0, Handle(), nullptr));
    PostMessageA(Handle(), WM_NULL, 0, 0);
    return chosen;
}

}  // namespace tavo::win32
