// The splash window: a borderless, topmost pop-up with one label, hidden by its first timer tick.
#pragma once

#include <windows.h>

#include "app/splash_unit.h"
#include "framework/app_ports.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"

namespace tavo::win32 {

class SplashWindow : public Window, public FormWindow {
public:
    // Creates the window hidden, owned by `owner`, and starts its timer.
    SplashWindow(TSplashForm& form, HWND owner);
    ~SplashWindow() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowOrHide();

    TSplashForm& form_;
    HWND label_ = nullptr;
    GdiObject<HFONT> font_;
    bool timerRunning_ = false;
};

}  // namespace tavo::win32
