// Owners of the Win32 layer's handles: each frees its handle at the end of its life and cannot be copied.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace tavo::win32 {

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
using OwnedPen = GdiObject<HPEN>;

// A window's device context for the scope: GetDC / ReleaseDC (no window: the screen's).
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

// A memory device context compatible with another one: CreateCompatibleDC / DeleteDC.
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    operator HDC() const { return dc_; }

private:
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

// A menu built for one showing: CreatePopupMenu / DestroyMenu.
class OwnedMenu {
public:
    OwnedMenu() : menu_(CreatePopupMenu()) {}
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    ~OwnedMenu() {
        if (menu_) DestroyMenu(menu_);
    }
    operator HMENU() const { return menu_; }

private:
    HMENU menu_;
};

// An image list: ImageList_Destroy at the end of its life.
class OwnedImageList {
public:
    explicit OwnedImageList(HIMAGELIST list = nullptr) : list_(list) {}
    OwnedImageList(const OwnedImageList&) = delete;
    OwnedImageList& operator=(const OwnedImageList&) = delete;
    ~OwnedImageList() { Reset(); }
    void Reset(HIMAGELIST list = nullptr) {
        if (list_) ImageList_Destroy(list_);
        list_ = list;
    }
    HIMAGELIST Get() const { return list_; }
    operator HIMAGELIST() const { return list_; }

private:
    HIMAGELIST list_;
};

// A window that is no object of ours (a tooltip, a control): DestroyWindow at the end of its life,
// unless it is gone already.
class OwnedWindow {
public:
    explicit OwnedWindow(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow() { Reset(); }
    void Reset(HWND hwnd = nullptr) {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
        hwnd_ = hwnd;
    }
    HWND Get() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

private:
    HWND hwnd_;
};

// A kernel object's handle (a process token, ...): CloseHandle at the end of its life.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace tavo::win32
