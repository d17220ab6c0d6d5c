// Screen metrics, message boxes, the cursor, the system's folders, the process token and the wallpaper call.
#include "platform/win32/ports_win32.h"

#include <shlobj.h>

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

namespace {

// The text in the process's code page (UTF-8 where the manifest's choice is honoured); empty when a
// character has no equivalent there, as a name spelled otherwise would not be found by the A calls.
std::string InCodePage(const std::wstring& text) {
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), nullptr,
                                         0, nullptr, utf8 ? nullptr : &lossy);
    if (size <= 0 || lossy) return std::string();
    std::string converted(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), &converted[0], size,
                        nullptr, nullptr);
    return converted;
}

}  // namespace

// Asked in UTF-16: the folder in the code page may take more bytes than a MAX_PATH buffer holds.
std::string SystemFoldersWin32::LocalAppData() const {
    wchar_t path[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return InCodePage(path);
}

std::optional<bool> ProcessTokenWin32::VirtualizationEnabled() const {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
    const OwnedHandle owned(token);
    DWORD enabled = 0;
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenVirtualizationEnabled, &enabled, sizeof enabled, &size))
        return std::nullopt;
    return enabled != 0;
}

bool WallpaperWin32::SetDeskWallpaper(const std::string& fileName) {
    std::vector<char> name(fileName.begin(), fileName.end());
    name.push_back('\0');
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, name.data(), SPIF_UPDATEINIFILE) != FALSE;
}

}  // namespace tavo::win32
