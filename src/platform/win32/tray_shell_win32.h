// The notification area: Shell_NotifyIconA and the hidden windows the shell's callbacks reach.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "framework/app_ports.h"

namespace tavo::win32 {

class TrayShellWin32 : public TrayShell {
public:
    TrayShellWin32();
    ~TrayShellWin32() override;

    WindowHandle CreateMessageWindow(Procedure procedure) override;
    void DestroyMessageWindow(WindowHandle window) override;
    bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
    ShiftState KeyboardShift() const override;
    ScreenPoint CursorPos() const override;
    unsigned TaskbarCreatedMessage() const override { return taskbarCreated_; }
    void StartTimer(WindowHandle window, unsigned id, unsigned intervalMs) override;
    void StopTimer(WindowHandle window, unsigned id) override;
    std::uint32_t TickCount() const override { return GetTickCount(); }
    IconHandle MainIcon() override;

private:
    class MessageWindow;

    std::map<WindowHandle, std::unique_ptr<MessageWindow>> windows_;
    unsigned taskbarCreated_ = 0;
    HICON icon_ = nullptr;
};

}  // namespace tavo::win32
