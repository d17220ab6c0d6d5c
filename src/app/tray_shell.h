// TTrayIcon: the program's icon in the notification area and the mouse events it reports.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "framework/app_ports.h"
#include "framework/component.h"

namespace tavo {

enum class MouseButton { Left, Right, Middle };

using MouseEvent = std::function<void(Component* sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Component* sender, ShiftState shift, int x, int y)>;

// The private message the shell sends the icon's window: the framework's message base 0xB000 plus 84.
constexpr unsigned kTrayCallbackMessage = 0xB054;
// NIF_MESSAGE | NIF_ICON | NIF_TIP.
constexpr std::uint32_t kTrayIconFlags = 7;

// A refused add is tried again on a timer of the message window: often at first, as a shell that is
// still starting (during log-on) soon takes it, then seldom for as long as the program runs.
constexpr unsigned kRetryTimerId = 1;
constexpr unsigned kQuickRetryMs = 2000;
constexpr unsigned kSlowRetryMs = 30000;
constexpr std::uint32_t kQuickRetryPeriodMs = 120000;

// The part of a hint before its first "|" (the whole hint when it has none).
std::string ShortHint(const std::string& hint);

class TTrayIcon : public Component {
public:
    // Creates the message window the shell's callbacks reach.
    explicit TTrayIcon(TrayShell& shell);
    // Stops decoding callbacks, removes the icon and destroys the message window.
    ~TTrayIcon() override;
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    bool Active() const { return active_; }
    // A change registers (true) or unregisters (false) the icon.
    void SetActive(bool active);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    IconHandle Icon() const { return icon_; }
    // The picture shown; a change refreshes the registration.
    void SetIcon(IconHandle icon);

    // The end of loading the owner's design: registers the icon once more when active.
    void Loaded();
    // Replaces any earlier registration; nothing without a picture.
    void Register();
    void Unregister();
    void Refresh();

    // The message window's procedure: false where the message gets the default treatment.
    bool HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    bool Registered() const { return registered_; }
    // Whether a refused add is being tried again.
    bool Retrying() const { return retryMs_ != 0; }
    // Buttons whose press over the icon came and whose click is still due (ssLeft, ssRight).
    ShiftState PressedButtons() const { return pressed_; }

    // Callbacks are decoded only while set.
    bool Enabled = true;
    MouseEvent OnClick;
    NotifyEvent OnDblClick;
    MouseMoveEvent OnMouseMove;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    // The application's error box for errors of the event handlers; without one they propagate.
    std::function<void(const std::exception&)> handleException;

protected:
    virtual void DblClick();
    virtual void Click(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseMove(ShiftState shift, int x, int y);
    virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
    virtual void FillData();

private:
    void DecodeMouse(unsigned mouseMessage);
    // A button's release: its click when its press is pending, then the mouse-up.
    void Release(MouseButton button, ShiftState flag, ShiftState shift, int x, int y);
    // The add, and with no tip the modify after it: Registered follows the add.
    void Add();
    void StartRetries();
    void StopRetries();
    // One tick of the retry timer.
    void Retry();

    TrayShell& shell_;
    WindowHandle window_ = 0;
    bool active_ = true;
    std::string hint_;
    IconHandle icon_ = 0;
    bool registered_ = false;
    ShiftState pressed_ = 0;
    NotifyIconData data_;
    // The retry timer's interval (0 while it is stopped) and when the retries began.
    unsigned retryMs_ = 0;
    std::uint32_t retriesSince_ = 0;
};

}  // namespace tavo
