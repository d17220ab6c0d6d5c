// The message loop: the main window looks at each message first, then dialog navigation, then dispatch.
#include "platform/win32/message_loop.h"

#include <windows.h>

#include "platform/win32/main_window.h"

namespace tavo::win32 {

int RunMessageLoop(MainWindow* window) {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        try {
            if (window && window->PreTranslate(msg)) continue;
            // Tab and the arrow keys move between the controls as in a dialog.
            if (window && window->Handle() && IsDialogMessageA(window->Handle(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } catch (...) {
            ReportCurrentException();
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace tavo::win32
