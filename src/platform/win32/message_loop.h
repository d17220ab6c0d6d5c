// The application's message loop.
#pragma once

namespace tavo::win32 {

class MainWindow;

// Runs until the quit message arrives; every error that escapes a handler is
// shown in the application's error box and the loop goes on. The main window,
// when there is one, sees each message first. Returns the quit message's code.
int RunMessageLoop(MainWindow* window);

}  // namespace tavo::win32
