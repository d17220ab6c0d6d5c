// The window-procedure thunk and the application's error box at the message boundary.
#include "platform/win32/window.h"

#include <exception>
#include <vector>

#include "base/error.h"

namespace tavo::win32 {

namespace {
const char kApplicationTitle[] = "Tavo Wallpaper 2";

std::function<void(const std::exception&)>& Reporter() {
    static std::function<void(const std::exception&)> reporter;
    return reporter;
}

void Report(const std::exception& error) {
    if (dynamic_cast<const SilentAbort*>(&error)) return;
    if (Reporter()) {
        Reporter()(error);
        return;
    }
    MessageBoxA(nullptr, ErrorBoxText(error.what()).c_str(), kApplicationTitle,
                MB_ICONSTOP | MB_OK | MB_TASKMODAL);
}
}  // namespace

void SetErrorReporter(std::function<void(const std::exception&)> reporter) {
    Reporter() = std::move(reporter);
}

void ReportCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            Report(Error("Out of memory"));
        } catch (const std::exception& e) {
            Report(e);
        } catch (...) {
            Report(Error("Unknown error"));
        }
    } catch (...) {
        // The error box itself failed: nothing more can be shown.
    }
}

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::RegisterClassOnce(const char* className, HBRUSH background, HICON icon, UINT style) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Thunk;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

HWND Window::Create(const char* className, const char* caption, DWORD style, DWORD exStyle, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId) {
    CreateWindowExA(exStyle, className, caption, style, x, y, width, height, parent, menuOrId,
                    GetModuleHandleA(nullptr), this);
    return hwnd_;
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT: {
            RECT area;
            GetClientRect(hwnd_, &area);
            Paint(reinterpret_cast<HDC>(wParam), area);
            return 0;
        }
        case WM_NCDESTROY: {
            const LRESULT result = Default(message, wParam, lParam);
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            OnDestroy();
            return result;
        }
        default:
            return Default(message, wParam, lParam);
    }
}

void Window::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (dc) Paint(dc, ps.rcPaint);
    EndPaint(hwnd_, &ps);
}

bool HandleFormClose(Form& form, UINT message, LRESULT& result) {
    switch (message) {
        case WM_CLOSE:
            form.Close();
            result = 0;
            return true;
        case WM_QUERYENDSESSION:
            form.CloseQuery();
            result = TRUE;
            return true;
        default:
            return false;
    }
}

void CentreOnScreen(HWND hwnd) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextA(hwnd, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

}  // namespace tavo::win32
