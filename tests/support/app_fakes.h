// In-memory doubles of the application frame's ports: the notification area and the application window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/app_ports.h"

namespace tavo::testing {

// Records every notification-area call; the shell takes them unless told to refuse adds. It holds the
// icon once an add has reached it, so a modify succeeds exactly while the icon is there.
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
        if (duringCall) duringCall();
        switch (message) {
            case NotifyIconMessage::Add: {
                const bool refused = refuseAdd || refuseAdds > 0;
                if (refuseAdds > 0) --refuseAdds;
                if (!refused || refusalsReachShell) holds = true;
                return !refused;
            }
            case NotifyIconMessage::Modify:
                return holds;
            case NotifyIconMessage::Delete:
                break;
        }
        holds = false;
        return true;
    }
    ShiftState KeyboardShift() const override { return shift; }
    ScreenPoint CursorPos() const override { return cursor; }
    unsigned TaskbarCreatedMessage() const override { return taskbarCreated; }
    IconHandle MainIcon() override { return icon; }
    void StartTimer(WindowHandle, unsigned id, unsigned intervalMs) override {
        timerId = id;
        timerMs = intervalMs;
        calls.push_back("timer " + std::to_string(intervalMs));
    }
    void StopTimer(WindowHandle, unsigned) override {
        timerMs = 0;
        calls.push_back("timer off");
    }
    std::uint32_t TickCount() const override { return now; }

    // A callback of the shell with this mouse message; whether the window handled it.
    bool Post(unsigned mouseMessage, unsigned message = 0xB054) {
        return procedure(message, 0, static_cast<std::intptr_t>(mouseMessage));
    }
    // The running timer's next tick, `lateMs` after its interval: whether the window handled it.
    bool Tick(unsigned lateMs = 0) {
        now += timerMs + lateMs;
        return procedure(0x113, timerId, 0);
    }

    Procedure procedure;
    WindowHandle window = 0x1234;
    IconHandle icon = 0x77;
    ShiftState shift = 0;
    ScreenPoint cursor{10, 20};
    unsigned taskbarCreated = 0xC0DE;
    // Every add refused, or only the next ones.
    bool refuseAdd = false;
    int refuseAdds = 0;
    // A refused add still puts the icon there, as when the shell answers after the caller gave up.
    bool refusalsReachShell = false;
    bool holds = false;
    unsigned timerId = 0;
    unsigned timerMs = 0;
    std::uint32_t now = 1000;
    // Runs inside every notification-area call, as the shell's messages may arrive there.
    std::function<void()> duringCall;
    int windowsCreated = 0;
    int windowsDestroyed = 0;
    std::vector<std::string> calls;
    std::vector<NotifyIconData> sent;
};

// The application window: its visibility as the system keeps it, and every call in one log.
class FakeApplicationWindow : public ApplicationWindow {
public:
    explicit FakeApplicationWindow(std::vector<std::string>& log) : log_(log) {}
    void SetText(const std::string& text) override { this->text = text; }
    bool ButtonVisible() const override { return visible; }
    void SetButtonVisible(bool shown) override {
        visible = shown;
        log_.push_back(shown ? "button:show" : "button:hide");
    }
    void Minimize() override {
        visible = true;
        log_.push_back("app:minimize");
    }
    void HideOwnedPopups() override { log_.push_back("app:hide popups"); }
    void EnableHints(bool enabled) override { log_.push_back(enabled ? "hints:on" : "hints:off"); }
    void PostQuit() override { log_.push_back("app:quit"); }
    void ActivateLastPopup() override { log_.push_back("app:to front"); }
    void ErrorBox(const std::string& text, const std::string& caption) override {
        log_.push_back("error:" + caption + ":" + text);
    }
    void StartupErrorBox(const std::string& text, const std::string& caption) override {
        log_.push_back("startup error:" + caption + ":" + text);
    }
    std::string ModuleName() const override { return "TavoWallpaper.exe"; }
    std::uintptr_t ModuleAddress() const override { return 0x400000; }
    int StartupShowCommand() const override { return showCommand; }
    void RunMessageLoop() override {
        log_.push_back("loop");
        if (loop) loop();
    }

    std::string text;
    bool visible = false;
    int showCommand = 10;  // SW_SHOWDEFAULT
    // What the user does while the loop runs.
    std::function<void()> loop;

private:
    std::vector<std::string>& log_;
};

}  // namespace tavo::testing
