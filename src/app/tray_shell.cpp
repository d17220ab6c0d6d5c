// The icon's registration with the shell and the decoding of the shell's mouse callbacks.
#include "app/tray_shell.h"

#include <cstring>

namespace tavo {

namespace {
// The mouse messages the shell passes in a callback's lParam.
constexpr unsigned kMouseMove = 0x200;
constexpr unsigned kLButtonDown = 0x201;
constexpr unsigned kLButtonUp = 0x202;
constexpr unsigned kLButtonDblClk = 0x203;
constexpr unsigned kRButtonDown = 0x204;
constexpr unsigned kRButtonUp = 0x205;
constexpr unsigned kRButtonDblClk = 0x206;
constexpr unsigned kMButtonDown = 0x207;
constexpr unsigned kMButtonUp = 0x208;
constexpr unsigned kMButtonDblClk = 0x209;
constexpr unsigned kTimer = 0x113;
constexpr size_t kTipChars = 63;
}  // namespace

std::string ShortHint(const std::string& hint) {
    return hint.substr(0, hint.find('|'));
}

TTrayIcon::TTrayIcon(TrayShell& shell) : shell_(shell) {
    window_ =
        shell_.CreateMessageWindow([this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
            return HandleMessage(message, wParam, lParam);
        });
}

TTrayIcon::~TTrayIcon() {
    Enabled = false;
    Unregister();
    if (window_) shell_.DestroyMessageWindow(window_);
}

void TTrayIcon::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active_)
        Register();
    else
        Unregister();
}

void TTrayIcon::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    Refresh();
}

void TTrayIcon::SetIcon(IconHandle icon) {
    icon_ = icon;
    Refresh();
}

void TTrayIcon::Loaded() {
    if (active_) Register();
}

void TTrayIcon::Register() {
    Unregister();
    if (!icon_) return;
    pressed_ = 0;
    FillData();
    Add();
    if (!registered_) StartRetries();
}

void TTrayIcon::Add() {
    registered_ = shell_.NotifyIcon(NotifyIconMessage::Add, data_);
    if (registered_ && ShortHint(hint_).empty()) shell_.NotifyIcon(NotifyIconMessage::Modify, data_);
}

// While the system starts the programs of the Run key, the shell may answer an add late or not at all,
// and a refusal's reason cannot be trusted: the icon may be there after all, so each retry modifies first.
void TTrayIcon::Retry() {
    registered_ = shell_.NotifyIcon(NotifyIconMessage::Modify, data_);
    if (!registered_) Add();
    if (registered_) {
        pressed_ = 0;
        StopRetries();
    } else if (retryMs_ == kQuickRetryMs && shell_.TickCount() - retriesSince_ >= kQuickRetryPeriodMs) {
        retryMs_ = kSlowRetryMs;
        shell_.StartTimer(window_, kRetryTimerId, retryMs_);
    }
}

void TTrayIcon::StartRetries() {
    if (retryMs_) return;
    retryMs_ = kQuickRetryMs;
    retriesSince_ = shell_.TickCount();
    shell_.StartTimer(window_, kRetryTimerId, retryMs_);
}

void TTrayIcon::StopRetries() {
    if (!retryMs_) return;
    retryMs_ = 0;
    shell_.StopTimer(window_, kRetryTimerId);
}

void TTrayIcon::Unregister() {
    StopRetries();
    shell_.NotifyIcon(NotifyIconMessage::Delete, data_);
    registered_ = false;
    pressed_ = 0;
}

void TTrayIcon::Refresh() {
    if (registered_) {
        if (icon_) {
            FillData();
            shell_.NotifyIcon(NotifyIconMessage::Modify, data_);
        } else {
            Unregister();
        }
    } else if (active_) {
        Register();
    }
}

void TTrayIcon::FillData() {
    data_ = NotifyIconData{};
    data_.cbSize = kNotifyIconDataV1Size;
    data_.hWnd = window_;
    data_.uID = 0;
    data_.uFlags = kTrayIconFlags;
    data_.uCallbackMessage = kTrayCallbackMessage;
    data_.hIcon = icon_;
    const std::string tip = ShortHint(hint_).substr(0, kTipChars);
    std::memcpy(data_.szTip, tip.data(), tip.size());
    data_.szTip[tip.size()] = '\0';
}

bool TTrayIcon::HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == kTimer && wParam == kRetryTimerId) {
        if (Retrying()) Retry();
        return true;
    }
    // A restarted shell (or one that was not there yet when the program started)
    // announces its new taskbar: the icon goes back into it.
    const unsigned taskbarCreated = shell_.TaskbarCreatedMessage();
    if (taskbarCreated && message == taskbarCreated) {
        if (Enabled && active_) Register();
        return false;
    }
    if (message != kTrayCallbackMessage || !Enabled) return false;
    try {
        DecodeMouse(static_cast<unsigned>(lParam));
    } catch (const std::exception& error) {
        if (!handleException) throw;
        handleException(error);
    }
    return true;
}

void TTrayIcon::DecodeMouse(unsigned mouseMessage) {
    ShiftState shift = shell_.KeyboardShift() & (ssShift | ssCtrl | ssAlt);
    const ScreenPoint at = shell_.CursorPos();
    switch (mouseMessage) {
        case kMouseMove:
            MouseMove(shift, at.x, at.y);
            break;
        case kLButtonDown:
            MouseDown(MouseButton::Left, shift | ssLeft, at.x, at.y);
            pressed_ |= ssLeft;
            break;
        case kLButtonUp:
            Release(MouseButton::Left, ssLeft, shift | ssLeft, at.x, at.y);
            break;
        case kLButtonDblClk:
            DblClick();
            MouseDown(MouseButton::Left, shift | ssDouble, at.x, at.y);
            break;
        case kRButtonDown:
            MouseDown(MouseButton::Right, shift | ssRight, at.x, at.y);
            pressed_ |= ssRight;
            break;
        case kRButtonUp:
            Release(MouseButton::Right, ssRight, shift | ssRight, at.x, at.y);
            break;
        case kRButtonDblClk:
            MouseDown(MouseButton::Right, shift | ssDouble, at.x, at.y);
            break;
        case kMButtonDown:
            MouseDown(MouseButton::Middle, shift | ssMiddle, at.x, at.y);
            break;
        case kMButtonUp:
            MouseUp(MouseButton::Middle, shift | ssMiddle, at.x, at.y);
            break;
        case kMButtonDblClk:
            MouseDown(MouseButton::Middle, shift | ssDouble, at.x, at.y);
            break;
        default:
            break;
    }
}

void TTrayIcon::Release(MouseButton button, ShiftState flag, ShiftState shift, int x, int y) {
    if (pressed_ & flag) {
        pressed_ &= ~flag;
        Click(button, shift, x, y);
    }
    MouseUp(button, shift, x, y);
}

// The icon has no menu: a double-click only fires OnDblClick.
void TTrayIcon::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

// Without a menu for the right button, both buttons click.
void TTrayIcon::Click(MouseButton button, ShiftState shift, int x, int y) {
    if (OnClick) OnClick(this, button, shift, x, y);
}

void TTrayIcon::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TTrayIcon::MouseMove(ShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TTrayIcon::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

}  // namespace tavo
