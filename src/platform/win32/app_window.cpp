// The application window: taskbar button, system menu, session end and the application's error box.
#include "platform/win32/app_window.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "persist/auto_run.h"
#include "platform/win32/persist_ports.h"

namespace tavo::win32 {

namespace {
const char kAppClass[] = "TavoWallpaperApp";

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE with SWP_SHOWWINDOW or SWP_HIDEWINDOW.
constexpr UINT kShowButton = 0x57;
constexpr UINT kHideButton = 0x97;

struct ThreadWindows {
    HWND except;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lParam) {
    auto* windows = reinterpret_cast<ThreadWindows*>(lParam);
    if (hwnd != windows->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
        windows->found.push_back(hwnd);
    return TRUE;
}

// No window is needed: the box has no owner and the facts are the process's.
void ShowStartupError(const std::string& text, const std::string& caption) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONSTOP | MB_OK | MB_TASKMODAL);
}

std::string ExecutableName() {
    const std::string module = ExecutablePath(ProgramModuleWin32());
    return module.substr(module.find_last_of("\\/") + 1);
}

std::uintptr_t ExecutableAddress() {
    return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

BOOL CALLBACK ActivateTooltip(HWND hwnd, LPARAM enabled) {
    char name[64];
    if (GetClassNameA(hwnd, name, sizeof name) && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0)
        SendMessageA(hwnd, TTM_ACTIVATE, static_cast<WPARAM>(enabled), 0);
    return TRUE;
}
}  // namespace

ApplicationWindowWin32::ApplicationWindowWin32() {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    RegisterClassOnce(kAppClass, nullptr, icon, 0);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    Create(kAppClass, "", style, 0, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
           0, nullptr, nullptr);
    if (!Handle()) throw Error("Failed to create the application window");
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
}

void ApplicationWindowWin32::SetText(const std::string& text) {
    SetWindowTextA(Handle(), text.c_str());
}

bool ApplicationWindowWin32::ButtonVisible() const {
    return IsWindowVisible(Handle()) != FALSE;
}

void ApplicationWindowWin32::SetButtonVisible(bool visible) {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, visible ? kShowButton : kHideButton);
}

void ApplicationWindowWin32::Minimize() {
    ShowWindow(Handle(), SW_MINIMIZE);
}

void ApplicationWindowWin32::HideOwnedPopups() {
    ShowOwnedPopups(Handle(), FALSE);
}

void ApplicationWindowWin32::EnableHints(bool enabled) {
    EnumThreadWindows(GetCurrentThreadId(), ActivateTooltip, enabled ? TRUE : FALSE);
}

void ApplicationWindowWin32::PostQuit() {
    PostQuitMessage(0);
}

void ApplicationWindowWin32::ActivateLastPopup() {
    HWND last = GetLastActivePopup(Handle());
    if (last && last != Handle() && IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

// Modal to the whole program: its other windows are disabled while the box is up, and
// the window and the control that were active before are so again afterwards.
void ApplicationWindowWin32::ErrorBox(const std::string& text, const std::string& caption) {
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    ThreadWindows windows{Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows.found)
        EnableWindow(hwnd, FALSE);
    MessageBoxA(Handle(), text.c_str(), caption.c_str(), MB_ICONSTOP | MB_OK);
    for (HWND hwnd : windows.found)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
}

void ApplicationWindowWin32::StartupErrorBox(const std::string& text, const std::string& caption) {
    ShowStartupError(text, caption);
}

std::string ApplicationWindowWin32::ModuleName() const {
    return ExecutableName();
}

std::uintptr_t ApplicationWindowWin32::ModuleAddress() const {
    return ExecutableAddress();
}

int ApplicationWindowWin32::StartupShowCommand() const {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

void ApplicationWindowWin32::RunMessageLoop() {
    if (messageLoop) messageLoop();
}

LRESULT ApplicationWindowWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Close on the taskbar button's menu closes the main form, which ends the program.
            if (application_) application_->CloseMainForm();
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_RESTORE && application_) {
                const LRESULT result = Window::HandleMessage(message, wParam, lParam);
                application_->Restored();
                return result;
            }
            break;
        case WM_QUERYENDSESSION:
            if (application_) application_->CloseQuery();
            return TRUE;
        case WM_ENDSESSION:
            // The session ends: the program halts here, its windows destroyed as at any end.
            if (wParam && application_) {
                application_->DoneApplication();
                ExitProcess(0);
            }
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

int ReportFailedStart(const std::exception& error) {
    ShowStartupError(
        StartupErrorText(ErrorClassName(error), ExecutableName(), ExecutableAddress(), error.what()),
        kStartupErrorCaption);
    return 1;
}

}  // namespace tavo::win32
