// In-memory doubles of the application frame's ports: the notification area and the application window.
#pragma once

#include <string>
#include <vector>

#include "framework/app_ports.h"

namespace tavo::testing {

// Records every notification-area call; the shell takes them unless told to refuse adds.
class FakeTrayShell : public TrayShell {
public:
    WindowHandle CreateMessageWindow(Procedure procedure) override {
        this->procedure = std::move(procedure);
        ++windowsCreated;
        return window;
    }
    void DestroyMessageWindow(WindowHandle) override {
        ++windowsDestroyed;
        calls.push_back("destroy window");
    }
    bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override {
        static const char* const names[] = {"add", "modify", "delete"};
        calls.push_back(names[static_cast<int>(message)]);
        sent.push_back(data);
        return message != NotifyIconMessage::Add || !refuseAdd;
    }
    ShiftState KeyboardShift() const override { return shift; }
    ScreenPoint CursorPos() const override { return cursor; }
    unsigned TaskbarCreatedMessage() const override { return taskbarCreated; }
    IconHandle MainIcon() override { return icon; }

    // A callback of the shell with this mouse message; whether the window handled it.
    bool Post(unsigned mouseMessage, unsigned message = 0xB054) {
        return procedure(message, 0, static_cast<std::intptr_t>(mouseMessage));
    }

    Procedure procedure;
    WindowHandle window = 0x1234;
    IconHandle icon = 0x77;
    ShiftState shift = 0;
    ScreenPoint cursor{10, 20};
    unsigned taskbarCreated = 0xC0DE;
    bool refuseAdd = false;
    int windowsCreated = 0;
    int windowsDestroyed = 0;
    std::vector<std::string> calls;
    std::vector<NotifyIconData> sent;
};

}  // namespace tavo::testing
