// Screen metrics, message boxes, the cursor, the Windows directory and the wallpaper call.
#include "platform/win32/ports_win32.h"

#include <vector>

#include "platform/win32/handles.h"

namespace tavo::win32 {

int ScreenWin32::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenWin32::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

int ScreenWin32::BitsPerPixel() const {
    WindowDc screen(nullptr);
    return GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
}

void DialogsWin32::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    UINT type = MB_OK | MB_TASKMODAL;
    switch (icon) {
        case MessageIcon::Error:
            type |= MB_ICONERROR;
            break;
        case MessageIcon::Stop:
            type |= MB_ICONSTOP;
            break;
        case MessageIcon::Information:
            type |= MB_ICONINFORMATION;
            break;
        case MessageIcon::Application:
            type |= MB_USERICON;
            break;
    }
    MSGBOXPARAMSA box{};
    box.cbSize = sizeof box;
    box.hwndOwner = owner;
    box.hInstance = GetModuleHandleA(nullptr);
    box.lpszText = text.c_str();
    box.lpszCaption = caption.c_str();
    box.dwStyle = type;
    box.lpszIcon = "MAINICON";
    // Closing the box gives the activation back to its owner, not the focus to the control that had it.
    HWND focus = GetFocus();
    MessageBoxIndirectA(&box);
    if (focus && IsWindow(focus)) SetFocus(focus);
}

void CursorWin32::SetShape(CursorShape shape) {
    shape_ = shape;
    // Shown at once: a long operation runs no message loop that would ask again.
    SetCursor(LoadCursor(nullptr, Busy() ? IDC_WAIT : IDC_ARROW));
}

bool CursorWin32::ApplyWhenBusy() const {
    if (!Busy()) return false;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    return true;
}

// A result longer than the first buffer is fetched again into one of the size
// the system asked for, never cut short.
std::string SystemFoldersWin32::WindowsDirectory() const {
    std::vector<char> buffer(1024);
    UINT length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length >= buffer.size()) return std::string();
    }
    return std::string(buffer.data(), length);
}

bool WallpaperWin32::SetDeskWallpaper(const std::string& fileName) {
    std::vector<char> name(fileName.begin(), fileName.end());
    name.push_back('\0');
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, name.data(), SPIF_UPDATEINIFILE) != FALSE;
}

}  // namespace tavo::win32
