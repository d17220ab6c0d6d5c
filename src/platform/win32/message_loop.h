// The application's message loop.
#pragma once

namespace tavo::win32 {

class MainWindow;

// Runs until the program is asked to end; every error that escapes a handler is
// shown in the application's error box and the loop goes on. Returns the exit code.
int RunMessageLoop(MainWindow& window);

}  // namespace tavo::win32
