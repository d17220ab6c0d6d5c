// The real main window: Win32 controls bound to the TForm1 model, laid out by their anchors.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <utility>

#include "framework/app_ports.h"
#include "mainwin/wall_main.h"
#include "platform/win32/bindings.h"
#include "platform/win32/ports_win32.h"
#include "platform/win32/window.h"

namespace tavo::win32 {

// Control identifiers, stable so that a test driver may also find controls by them.
enum ControlId : int {
    kIdFilezGB = 100,
    kIdOpen = 101,
    kIdAdd = 102,
    kIdFilez = 103,
    kIdAutoGB = 110,
    kIdAutoEnabled = 111,
    kIdRandomized = 112,
    kIdLabel1 = 113,
    kIdEdit1 = 114,
    kIdDelayUD = 115,
    kIdLabel2 = 116,
    kIdAutoRun = 117,
    kIdPreviewGB = 120,
    kIdPanel1 = 121,
    kIdResamplingGB = 130,
    kIdResLarge = 131,
    kIdResSmall = 132,
    kIdPropRes = 133,
    kIdPixFormat = 140,
    kIdPixFormatItem0 = 141,  // one identifier per item, in order
    kIdButtonsGB = 150,
    kIdAbout = 151,
    kIdHide = 152,
    kIdStatus = 160,
    kIdMenuItem0 = 200,  // the context menu's items by their index
};

class GridBinding;

class MainWindow : public Window, public FormWindow, private BindingHost {
public:
    MainWindow(TForm1& form, CursorWin32& cursor);
    ~MainWindow() override;

    // Creates the window hidden, with all its controls, owned by `owner` (the application
    // window); its place is settled when it is first shown.
    void Create(HWND owner);
    // The message loop's look at a message before the focused control gets it:
    // menu shortcuts, access keys and the context menu. True when it was taken.
    bool PreTranslate(const MSG& msg);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate() override;
    void OnSize(int width, int height) override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(NMHDR* header) override;

private:
    // The window's controls in creation order, which is their tab order.
    template <typename Kind, typename... Args>
    Kind& Bind(Args&&... args) {
        auto binding = std::make_unique<Kind>(std::forward<Args>(args)...);
        Kind& kind = *binding;
        bindings_.push_back(std::move(binding));
        return kind;
    }

    // BindingHost
    HWND ControlParent() const override { return Handle(); }
    HFONT ControlFont() const override { return font_.Get(); }
    int FontHeight() const override { return fontHeight_; }
    RECT PlaceOf(const Control& control) const override;
    const Bindings& AllBindings() const override { return bindings_; }

    // main_window.cpp: creation, layout, showing.
    void CreateHints();
    // The status bar in the system's status-bar font, as high as that font needs.
    void MeasureStatusBar();
    // Outer minus client size: the frame the desktop gives this window now.
    SIZE FrameSize() const;
    SizeLimits OuterLimits() const;
    // Resizes the window when its client area is outside the limits (after the frame or the status bar's
    // font changed); a minimized or maximized window keeps its size.
    void KeepClientInLimits();
    void LayOut();
    void ShowOrHide();
    HWND FirstFocusable() const;
    void RestoreFocus();

    // main_window_keys.cpp: shortcuts, access keys, context menu.
    bool TakeShortCut(WPARAM key);
    bool TakeAccessKey(char letter, bool alt);
    void OpenPopup();
    int TrackPopup(const PopupMenu& popup);
    bool OwnsWindow(HWND hwnd) const;

    TForm1& form_;
    CursorWin32& cursor_;
    Bindings bindings_;
    GridBinding* grid_ = nullptr;
    OwnedWindow tooltip_;
    HWND lastFocus_ = nullptr;
    OwnedFont font_;
    OwnedFont statusFont_;
    int statusHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int fontHeight_ = 16;
};

}  // namespace tavo::win32
