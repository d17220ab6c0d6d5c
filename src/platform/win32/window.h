// The window-procedure thunk, the non-owning window wrapper and the GDI owners of the Win32 layer.
#pragma once

#include <windows.h>

#include <string>

namespace tavo::win32 {

// Shows the exception in flight in the application's error box (nothing for a
// silent abort). Called inside a catch block at every message boundary.
void ReportCurrentException() noexcept;

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

// Owns a GDI object and deletes it at the end of its life.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }
    void Reset(Handle handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
    Handle Get() const { return handle_; }
    operator Handle() const { return handle_; }

private:
    Handle handle_;
};

using OwnedFont = GdiObject<HFONT>;
using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedBrush = GdiObject<HBRUSH>;

// A window's device context for the scope: GetDC / ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a device context for the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

std::string WindowText(HWND hwnd);

}  // namespace tavo::win32
