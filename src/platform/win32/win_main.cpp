// The program's start: the application object, the splash, the hidden main window with its tray
// icon, then the message loop until the program ends.
#include <memory>

#include "app/application.h"
#include "app/splash_unit.h"
#include "base/error.h"
#include "mainwin/wall_main.h"
#include "platform/win32/app_window.h"
#include "platform/win32/main_window.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/persist_ports.h"
#include "platform/win32/ports_win32.h"
#include "platform/win32/splash_window.h"
#include "platform/win32/tray_shell_win32.h"

namespace {

const char kTitle[] = "Tavo Wallpaper 2";

int Run() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);

    // The services outlive the application object, which destroys the windows that use them.
    tavo::win32::ApplicationWindowWin32 appWindow;
    tavo::win32::ScreenWin32 screen;
    tavo::win32::DialogsWin32 dialogs;
    tavo::win32::CursorWin32 cursor;
    tavo::win32::FileDialogsWin32 fileDialogs;
    tavo::win32::SystemFoldersWin32 folders;
    tavo::win32::ProcessTokenWin32 token;
    tavo::win32::WallpaperWin32 wallpaper;
    tavo::win32::RegistryWin32 registry;
    tavo::win32::WindowPlacementWin32 placement;
    tavo::win32::ProgramModuleWin32 module;
    tavo::win32::TrayShellWin32 tray;
    tavo::TApplication application(appWindow);
    appWindow.Attach(&application);
    tavo::win32::SetErrorReporter([&application](const std::exception& e) { application.ShowException(e); });

    tavo::MainWindowPorts ports;
    ports.screen = &screen;
    ports.dialogs = &dialogs;
    ports.cursor = &cursor;
    ports.fileDialogs = &fileDialogs;
    ports.folders = &folders;
    ports.token = &token;
    ports.wallpaper = &wallpaper;
    ports.lifetime = &application;
    ports.registry = &registry;
    ports.placement = &placement;
    ports.module = &module;
    ports.trayShell = &tray;

    application.SetTitle(kTitle);
    tavo::win32::MainWindow* mainWindow = nullptr;
    appWindow.messageLoop = [&mainWindow] { tavo::win32::RunMessageLoop(mainWindow); };
    const int exitCode = application.Start([&] {
        application.CreateForm(std::make_unique<tavo::TSplashForm>(), [&appWindow](tavo::Form& form) {
            return std::make_unique<tavo::win32::SplashWindow>(static_cast<tavo::TSplashForm&>(form),
                                                               appWindow.Handle());
        });
        application.CreateForm(std::make_unique<tavo::TForm1>(ports), [&](tavo::Form& form) {
            auto window = std::make_unique<tavo::win32::MainWindow>(static_cast<tavo::TForm1&>(form), cursor);
            window->Create(appWindow.Handle());
            dialogs.owner = window->Handle();
            fileDialogs.owner = window->Handle();
            placement.window = window->Handle();
            mainWindow = window.get();
            return window;
        });
    });
    tavo::win32::SetErrorReporter(nullptr);
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return Run();
    } catch (const std::exception& e) {
        return tavo::win32::ReportFailedStart(e);
    } catch (...) {
        return tavo::win32::ReportFailedStart(tavo::Error("Unexpected error"));
    }
}
