// The tray icon's message windows and the calls to the shell's notification area.
#include "platform/win32/tray_shell_win32.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>

#include "base/error.h"
#include "platform/win32/window.h"

namespace tavo::win32 {

namespace {
const char kTrayClass[] = "TavoWallpaperTray";
}  // namespace

// The core's record is the first version of NOTIFYICONDATAA on either processor.
static_assert(kNotifyIconDataV1Size == NOTIFYICONDATAA_V1_SIZE, "the first version's size");
static_assert(offsetof(NotifyIconData, hIcon) == offsetof(NOTIFYICONDATAA, hIcon), "the icon's place");
static_assert(offsetof(NotifyIconData, szTip) == offsetof(NOTIFYICONDATAA, szTip), "the tip's place");

// A hidden top-level window (not a message-only one, so that the shell's broadcasts reach it).
class TrayShellWin32::MessageWindow : public Window {
public:
    explicit MessageWindow(Procedure procedure) : procedure_(std::move(procedure)) {
        RegisterClassOnce(kTrayClass, nullptr, nullptr, 0);
        Create(kTrayClass, "", WS_POPUP, 0, 0, 0, 0, 0, nullptr, nullptr);
        if (!Handle()) throw Error("Failed to create the tray icon's window");
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (procedure_ && procedure_(message, wParam, lParam)) return 0;
        return Window::HandleMessage(message, wParam, lParam);
    }

private:
    Procedure procedure_;
};

TrayShellWin32::TrayShellWin32() : taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {}

TrayShellWin32::~TrayShellWin32() {
    windows_.clear();
    if (icon_) DestroyIcon(icon_);
}

WindowHandle TrayShellWin32::CreateMessageWindow(Procedure procedure) {
    auto window = std::make_unique<MessageWindow>(std::move(procedure));
    const auto handle = reinterpret_cast<WindowHandle>(window->Handle());
    windows_[handle] = std::move(window);
    return handle;
}

void TrayShellWin32::DestroyMessageWindow(WindowHandle window) {
    windows_.erase(window);
}

bool TrayShellWin32::NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = data.cbSize;
    nid.hWnd = reinterpret_cast<HWND>(data.hWnd);
    nid.uID = data.uID;
    nid.uFlags = data.uFlags;
    nid.uCallbackMessage = data.uCallbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(data.hIcon);
    static_assert(sizeof nid.szTip >= sizeof data.szTip, "the tip fits the first version's field");
    std::memcpy(nid.szTip, data.szTip, sizeof data.szTip);
    static const DWORD kMessages[] = {NIM_ADD, NIM_MODIFY, NIM_DELETE};
    return Shell_NotifyIconA(kMessages[static_cast<int>(message)], &nid) != FALSE;
}

// Without a timer the icon is not tried again; nothing else depends on it.
void TrayShellWin32::StartTimer(WindowHandle window, unsigned id, unsigned intervalMs) {
    SetTimer(reinterpret_cast<HWND>(window), id, intervalMs, nullptr);
}

void TrayShellWin32::StopTimer(WindowHandle window, unsigned id) {
    KillTimer(reinterpret_cast<HWND>(window), id);
}

ShiftState TrayShellWin32::KeyboardShift() const {
    ShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

ScreenPoint TrayShellWin32::CursorPos() const {
    POINT at{};
    GetCursorPos(&at);
    return ScreenPoint{at.x, at.y};
}

// The program's main icon at its own size; the shell scales it for the notification area.
IconHandle TrayShellWin32::MainIcon() {
    if (!icon_)
        icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 48, 48, 0));
    return reinterpret_cast<IconHandle>(icon_);
}

}  // namespace tavo::win32
