// The form model: a top-level window's caption, size limits, visibility and its show, hide and close events.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/component.h"

namespace tavo {

struct SizeLimits {
    int minWidth = 0;
    int maxWidth = 0;  // 0: no limit
    int minHeight = 0;
    int maxHeight = 0;
};

enum class FormBorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class WindowState { Normal, Minimized, Maximized };

// The show command that puts a window in this state: SW_SHOWNORMAL (1), SW_SHOWMINIMIZED (2) or
// SW_SHOWMAXIMIZED (3).
int ShowCommandOf(WindowState state);

class Form : public Component {
public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool Visible() const { return visible_; }
    // Makes the window visible, then raises it. onShow runs while the window already
    // counts as visible and before it is drawn; the first show then centres the window
    // unless something has placed it. Showing a visible window only raises it.
    void Show();
    // onHide runs after the window counts as hidden, before it leaves the screen.
    // Hiding a hidden window does nothing.
    void Hide();
    // The close query alone: whether onCloseQuery lets the window close.
    bool CloseQuery();
    // A close request (the title bar's close box): onCloseQuery may refuse it;
    // granted, onClose runs and then onCloseMainForm, when set, ends the program
    // instead of the window hiding. Returns whether it was granted.
    bool Close();
    // The window's end, run once while the window and its controls still exist:
    // it hides, then onDestroy runs. Later calls do nothing.
    void Destroy();

    // The components the window owns, found by name without regard to case.
    void AddComponent(Component* component) { named_.push_back(component); }
    Component* FindComponent(const std::string& name) const;
    bool Owns(const Component* component) const;

    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    // The limits of the client area when the user sizes the window; the window's own frame, whatever
    // width the desktop gives it, comes on top.
    SizeLimits clientLimits;
    // Centred on the screen when it is first shown; cleared by that show, or by whatever
    // places the window before it.
    bool centreOnShow = true;
    FormBorderStyle borderStyle = FormBorderStyle::Sizeable;
    WindowState windowState = WindowState::Normal;
    NotifyEvent onShow;
    NotifyEvent onHide;
    std::function<void(Component* sender, bool& canClose)> onCloseQuery;
    NotifyEvent onClose;
    NotifyEvent onDestroy;
    // Runs first when the window becomes visible or invisible, before onShow or
    // onHide: the application's taskbar-button rule.
    std::function<void()> onVisibleChanging;
    // Tells the binding to show or hide the real window, after onShow or onHide.
    std::function<void()> onVisibleChanged;
    // Tells the binding to centre the window on the screen.
    std::function<void()> onCentre;
    // Tells the binding to raise the window to the top of the z-order.
    std::function<void()> onBringToTop;
    // Set by the application on its main form: closing it requests termination.
    std::function<void()> onCloseMainForm;

private:
    bool visible_ = false;
    bool destroyed_ = false;
    std::vector<Component*> named_;
};

}  // namespace tavo
