// The window-placement port on user32 and gdi32.
#include "platform/win32/persist_ports.h"

namespace tavo::win32 {

bool WindowPlacementWin32::GetWindowPlacement(WindowPlacement& placement) const {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!window || !::GetWindowPlacement(window, &wp)) return false;
    placement.length = wp.length;
    placement.flags = wp.flags;
    placement.showCmd = wp.showCmd;
    placement.ptMinPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    placement.ptMaxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    const RECT& r = wp.rcNormalPosition;
    placement.rcNormalPosition = {r.left, r.top, r.right, r.bottom};
    return true;
}

bool WindowPlacementWin32::SetWindowPlacement(const WindowPlacement& placement) {
    if (!window) return false;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = placement.flags;
    wp.showCmd = placement.showCmd;
    wp.ptMinPosition = {placement.ptMinPosition.x, placement.ptMinPosition.y};
    wp.ptMaxPosition = {placement.ptMaxPosition.x, placement.ptMaxPosition.y};
    const PlacementRect& r = placement.rcNormalPosition;
    wp.rcNormalPosition = {r.left, r.top, r.right, r.bottom};
    return ::SetWindowPlacement(window, &wp) != FALSE;
}

bool WindowPlacementWin32::IsWindowVisible() const {
    return window && ::IsWindowVisible(window);
}

PlacementRect WindowPlacementWin32::WindowRect() const {
    RECT r{};
    if (window) GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void WindowPlacementWin32::Repaint() {
    if (!window) return;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

int WindowPlacementWin32::GetSystemMetrics(int index) const {
    return ::GetSystemMetrics(index);
}

int WindowPlacementWin32::ScreenPixelsPerInch() const {
    HDC dc = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return pixelsPerInch;
}

}  // namespace tavo::win32
