// The splash window's creation, its timer and label, and its showing.
#include "platform/win32/splash_window.h"

#include "base/error.h"

namespace tavo::win32 {

namespace {
const char kSplashClass[] = "TavoWallpaperSplash";
constexpr UINT_PTR kTimerId = 1;
constexpr int kLabelId = 1;
// The label's font at its character height. Where the named face is there only as a bitmap font, which
// does not come in that height (as under Wine), a scalable sans-serif face takes its place: a common one by
// name, else whichever TrueType sans-serif face the system has.
HFONT CreateLabelFont(const Font& font) {
    const char* const faces[] = {font.name.c_str(), "Microsoft Sans Serif", "Arial", "Tahoma", ""};
    for (const char* face : faces) {
        const bool anyTrueType = face == faces[4];
        HFONT made =
            CreateFontA(-font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline, FALSE,
                        DEFAULT_CHARSET, anyTrueType ? OUT_TT_ONLY_PRECIS : OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
        const bool scalable = [made] {
            WindowDc screen(nullptr);
            SelectedObject selected(screen, made);
            TEXTMETRICA metrics{};
            return GetTextMetricsA(screen, &metrics) &&
                   (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE));
        }();
        if (scalable || anyTrueType) return made;
        DeleteObject(made);
    }
    return nullptr;
}
}  // namespace

SplashWindow::SplashWindow(TSplashForm& form, HWND owner) : form_(form) {
    RegisterClassOnce(kSplashClass, GetSysColorBrush(COLOR_BTNFACE), nullptr, 0);
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    RECT outer{0, 0, form_.clientWidth, form_.clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, WS_EX_TOPMOST);
    Create(kSplashClass, form_.caption.c_str(), style, form_.topmost ? WS_EX_TOPMOST : 0, 0, 0,
           outer.right - outer.left, outer.bottom - outer.top, owner, nullptr);
    if (!Handle()) throw Error("Failed to create the splash window");

    const Label& label = form_.Label1;
    font_.Reset(CreateLabelFont(label.font));
    label_ = CreateWindowExA(0, "STATIC", label.Caption().c_str(),
                             WS_CHILD | WS_VISIBLE | SS_NOTIFY | (label.centred ? SS_CENTER : SS_LEFT),
                             label.bounds.left, label.bounds.top, label.bounds.width, label.bounds.height,
                             Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)),
                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    form_.onVisibleChanged = [this] { ShowOrHide(); };
    form_.onCentre = [this] { CentreOnScreen(Handle()); };
    form_.onBringToTop = [this] {
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    if (form_.Timer1.enabled) {
        if (!SetTimer(Handle(), kTimerId, form_.Timer1.intervalMs, nullptr))
            throw Error("Not enough timers available");
        timerRunning_ = true;
    }
}

SplashWindow::~SplashWindow() {
    form_.onVisibleChanged = nullptr;
    form_.onCentre = nullptr;
    form_.onBringToTop = nullptr;
    if (timerRunning_ && Handle()) KillTimer(Handle(), kTimerId);
}

// Maximized when the program was started so.
void SplashWindow::ShowOrHide() {
    ShowWindow(Handle(), form_.Visible() ? ShowCommandOf(form_.windowState) : SW_HIDE);
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kTimerId) break;
            form_.Timer1.Tick();
            if (!form_.Timer1.enabled && timerRunning_) {
                KillTimer(Handle(), kTimerId);
                timerRunning_ = false;
            }
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kLabelId && HIWORD(wParam) == STN_CLICKED) form_.Label1.Click();
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_SIZE:
            // The label fills the whole window, maximized too.
            if (label_) MoveWindow(label_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        default:
            break;
    }
    LRESULT result = 0;
    if (HandleFormClose(form_, message, result)) return result;
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace tavo::win32
