// The ports of the application frame: the hidden application window and the notification area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tavo {

// A window handle or an icon handle of the system, carried through the core untouched.
using WindowHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;

// The real window a form is drawn in; destroying it destroys the window.
class FormWindow {
public:
    virtual ~FormWindow() = default;
};

// The show commands the program was started with that change its first window.
constexpr int kShowMaximized = 3;
constexpr int kShowMinNoActive = 7;

// The hidden, zero-size application window that owns every window of the program and
// carries its taskbar button, with the services of the application frame around it.
class ApplicationWindow {
public:
    virtual ~ApplicationWindow() = default;
    // The window text, hence the taskbar button's.
    virtual void SetText(const std::string& text) = 0;
    // Whether the application window is visible now (the taskbar button is there).
    virtual bool ButtonVisible() const = 0;
    // Shows or hides the application window without moving, sizing or activating it.
    virtual void SetButtonVisible(bool visible) = 0;
    // Minimizes the application: a minimized taskbar button, the owned windows hidden.
    virtual void Minimize() = 0;
    // Hides the pop-up windows the application window owns.
    virtual void HideOwnedPopups() = 0;
    // Turns the hints of every window on or off.
    virtual void EnableHints(bool enabled) = 0;
    // Posts the quit message with exit code 0.
    virtual void PostQuit() = 0;
    // The owned window that was active last becomes the foreground window when it is
    // visible and enabled (and not the application window itself).
    virtual void ActivateLastPopup() = 0;
    // A modal box with the stop icon and an OK button, owned by the application window;
    // the program's other windows are disabled meanwhile and the window that was active
    // before is active again afterwards.
    virtual void ErrorBox(const std::string& text, const std::string& caption) = 0;
    // The box that reports a start whose windows could not be made: task-modal, without an owner, with the
    // stop icon and an OK button.
    virtual void StartupErrorBox(const std::string& text, const std::string& caption) = 0;
    // The executable's file name without its folder, and the address it is loaded at.
    virtual std::string ModuleName() const = 0;
    virtual std::uintptr_t ModuleAddress() const = 0;
    // The show command the process was started with.
    virtual int StartupShowCommand() const = 0;
    // Takes one message at a time until the quit message arrives.
    virtual void RunMessageLoop() = 0;
};

// Shift state of a mouse event: keys held and buttons involved.
enum ShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using ShiftState = unsigned;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The record every notification-area call is handed: the first version of the
// system's structure, field for field, handles as wide as a pointer.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    char szTip[64] = {};
};

// The first version's size, up to and including the tip: 88 bytes on 32-bit Windows, 104 on 64-bit
// (the handles are pointer-wide and aligned). The shell tells the versions apart by it.
constexpr std::uint32_t kNotifyIconDataV1Size =
    static_cast<std::uint32_t>(offsetof(NotifyIconData, szTip) + sizeof(NotifyIconData::szTip));

enum class NotifyIconMessage { Add = 0, Modify = 1, Delete = 2 };

// The shell's notification area and the hidden window its callbacks reach.
class TrayShell {
public:
    // The message window's procedure: true when it handled the message, false for the
    // default treatment.
    using Procedure = std::function<bool(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

    virtual ~TrayShell() = default;
    virtual WindowHandle CreateMessageWindow(Procedure procedure) = 0;
    virtual void DestroyMessageWindow(WindowHandle window) = 0;
    // Shell_NotifyIcon: whether the shell took the call.
    virtual bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) = 0;
    // Shift, Ctrl and Alt as the keyboard holds them now.
    virtual ShiftState KeyboardShift() const = 0;
    virtual ScreenPoint CursorPos() const = 0;
    // The shell's broadcast that the taskbar has been created again; 0 when there is none.
    virtual unsigned TaskbarCreatedMessage() const = 0;
    // A system timer of a message window: WM_TIMER with this id reaches its procedure every intervalMs
    // milliseconds. Starting a running timer again gives it the new interval.
    virtual void StartTimer(WindowHandle window, unsigned id, unsigned intervalMs) = 0;
    virtual void StopTimer(WindowHandle window, unsigned id) = 0;
    // Milliseconds since the system started, wrapping after 49.7 days.
    virtual std::uint32_t TickCount() const = 0;
    // The program's main icon.
    virtual IconHandle MainIcon() = 0;
};

}  // namespace tavo
