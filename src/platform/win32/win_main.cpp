// The program's start: create the main window and show it, then run the message loop.
#include <memory>

#include "base/error.h"
#include "mainwin/wall_main.h"
#include "platform/win32/main_window.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/persist_ports.h"
#include "platform/win32/ports_win32.h"

namespace {

int Run() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);

    tavo::win32::ScreenWin32 screen;
    tavo::win32::DialogsWin32 dialogs;
    tavo::win32::ErrorBoxScope errorBox(dialogs);
    tavo::win32::CursorWin32 cursor;
    tavo::win32::FileDialogsWin32 fileDialogs;
    tavo::win32::SystemFoldersWin32 folders;
    tavo::win32::WallpaperWin32 wallpaper;
    tavo::win32::AppLifetimeWin32 lifetime;
    tavo::win32::RegistryWin32 registry;
    tavo::win32::WindowPlacementWin32 placement;
    tavo::win32::ProgramModuleWin32 module;
    tavo::MainWindowPorts ports;
    ports.screen = &screen;
    ports.dialogs = &dialogs;
    ports.cursor = &cursor;
    ports.fileDialogs = &fileDialogs;
    ports.folders = &folders;
    ports.wallpaper = &wallpaper;
    ports.lifetime = &lifetime;
    ports.registry = &registry;
    ports.placement = &placement;
    ports.module = &module;

    int exitCode = 1;
    std::unique_ptr<tavo::TForm1> form;
    std::unique_ptr<tavo::win32::MainWindow> window;
    try {
        form = std::make_unique<tavo::TForm1>(ports);
        window = std::make_unique<tavo::win32::MainWindow>(*form, cursor);
        window->Create();
        dialogs.owner = window->Handle();
        fileDialogs.owner = window->Handle();
        placement.window = window->Handle();
        form->Show();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, tavo::ErrorBoxText(e.what()).c_str(), "Application Error", MB_ICONSTOP | MB_OK);
        return 1;
    }
    exitCode = tavo::win32::RunMessageLoop(*window);
    try {
        form->Destroy();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, tavo::ErrorBoxText(e.what()).c_str(), "Tavo Wallpaper 2", MB_ICONSTOP | MB_OK);
    }
    window.reset();
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return Run();
    } catch (...) {
        MessageBoxA(nullptr, "Unexpected error", "Application Error", MB_ICONSTOP | MB_OK);
        return 1;
    }
}
