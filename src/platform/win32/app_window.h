// The hidden application window: owner of every window, behind the taskbar button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "app/application.h"
#include "framework/app_ports.h"
#include "platform/win32/window.h"

namespace tavo::win32 {

class ApplicationWindowWin32 : public Window, public ApplicationWindow {
public:
    // Creates the window: zero size, hidden, with the main icon and a system menu of
    // Restore, Minimize and Close.
    ApplicationWindowWin32();

    // The application whose main form Close closes and which ends at the end of the session.
    void Attach(TApplication* application) { application_ = application; }
    // The message loop the application runs; set once the windows exist.
    std::function<void()> messageLoop;

    // ApplicationWindow
    void SetText(const std::string& text) override;
    bool ButtonVisible() const override;
    void SetButtonVisible(bool visible) override;
    void Minimize() override;
    void HideOwnedPopups() override;
    void EnableHints(bool enabled) override;
    void PostQuit() override;
    void ActivateLastPopup() override;
    void ErrorBox(const std::string& text, const std::string& caption) override;
    void StartupErrorBox(const std::string& text, const std::string& caption) override;
    std::string ModuleName() const override;
    std::uintptr_t ModuleAddress() const override;
    int StartupShowCommand() const override;
    void RunMessageLoop() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TApplication* application_ = nullptr;
};

// A start that failed before the application window was made: its error reported as the application
// reports one while it makes its windows. The exit code, 1.
int ReportFailedStart(const std::exception& error);

}  // namespace tavo::win32
