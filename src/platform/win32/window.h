// The window-procedure thunk and the non-owning window wrapper of the Win32 layer.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/form.h"
#include "platform/win32/handles.h"

namespace tavo::win32 {

// Shows the exception in flight in the application's error box (nothing for a
// silent abort). Called inside a catch block at every message boundary.
void ReportCurrentException() noexcept;
// Where ReportCurrentException sends errors: the application object's error box.
// Until one is set a plain task-modal box shows them.
void SetErrorReporter(std::function<void(const std::exception&)> reporter);

// A window of our own class. At WM_NCCREATE the object pointer travels from
// CREATESTRUCT::lpCreateParams into the window's user data; every later message
// reaches HandleMessage, and no C++ exception leaves the window procedure.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

protected:
    // Registers `className` once per process with this thunk as its procedure.
    static void RegisterClassOnce(const char* className, HBRUSH background, HICON icon, UINT style);
    HWND Create(const char* className, const char* caption, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnCreate() { return true; }
    virtual void OnSize(int /*width*/, int /*height*/) {}
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual LRESULT OnNotify(NMHDR* /*header*/) { return 0; }
    virtual void Paint(HDC /*dc*/, const RECT& /*area*/) {}
    // The window is gone; the wrapper no longer has a handle.
    virtual void OnDestroy() {}

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();

    HWND hwnd_ = nullptr;
};

std::string WindowText(HWND hwnd);

// Moves a window to the middle of the screen (half the difference of the sizes), without sizing or
// activating it.
void CentreOnScreen(HWND hwnd);

// The close box (WM_CLOSE) and the session's end (WM_QUERYENDSESSION, which the form's close query answers
// and nothing refuses) of a form's window; false for any other message.
bool HandleFormClose(Form& form, UINT message, LRESULT& result);

}  // namespace tavo::win32
