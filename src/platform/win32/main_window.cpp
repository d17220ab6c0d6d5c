// The main window's creation, its anchored layout and the drawing of the models' state.
#include "platform/win32/main_window.h"

#include <algorithm>

#include "base/error.h"
#include "framework/layout.h"
#include "platform/win32/grid_binding.h"

namespace tavo::win32 {

namespace {
const char kMainClass[] = "TavoWallpaperMain";
}  // namespace

MainWindow::MainWindow(TForm1& form, CursorWin32& cursor) : form_(form), cursor_(cursor) {
    // Creation order is the tab order: each parent's controls by their tab position.
    Bind<GroupBinding>(form_.FilezGB, kIdFilezGB);
    Bind<ButtonBinding>(form_.BitBtn4, kIdOpen, "GLYPH_OPEN");
    Bind<ButtonBinding>(form_.BitBtn1, kIdAdd, "GLYPH_ADD");
    grid_ = &Bind<GridBinding>(form_.Filez, kIdFilez);
    Bind<GroupBinding>(form_.AutoGB, kIdAutoGB);
    Bind<CheckBinding>(form_.AutoEnabled, kIdAutoEnabled);
    Bind<CheckBinding>(form_.Randomized, kIdRandomized);
    Bind<LabelBinding>(form_.Label1, kIdLabel1);
    Bind<EditBinding>(form_.Edit1, kIdEdit1);
    Bind<SpinnerBinding>(form_.DelayUD, kIdDelayUD);
    Bind<LabelBinding>(form_.Label2, kIdLabel2);
    Bind<CheckBinding>(form_.AutoRun, kIdAutoRun);
    Bind<GroupBinding>(form_.PreviewGB, kIdPreviewGB);
    Bind<PanelBinding>(form_.Panel1, form_.Image1, kIdPanel1);
    Bind<GroupBinding>(form_.ResamplingGB, kIdResamplingGB);
    Bind<CheckBinding>(form_.ResLarge, kIdResLarge);
    Bind<CheckBinding>(form_.ResSmall, kIdResSmall);
    Bind<CheckBinding>(form_.PropRes, kIdPropRes);
    Bind<RadioBinding>(form_.PixFormat, kIdPixFormat, kIdPixFormatItem0);
    Bind<GroupBinding>(form_.ButtonsGB, kIdButtonsGB);
    Bind<ButtonBinding>(form_.BitBtn2, kIdAbout, "GLYPH_ABOUT");
    Bind<ButtonBinding>(form_.BitBtn3, kIdHide, "GLYPH_HIDE");
    Bind<StatusBinding>(form_.Status, kIdStatus);
}

// The models stop reporting to the controls before the controls go; the button
// pictures and the grid's row height outlive the window that uses them.
MainWindow::~MainWindow() {
    for (auto& binding : bindings_)
        binding->Detach();
    form_.onVisibleChanged = nullptr;
    form_.onCentre = nullptr;
    form_.onBringToTop = nullptr;
    tooltip_.Reset();
    if (Handle()) DestroyWindow(Handle());
}

void MainWindow::Create(HWND owner) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    RegisterClassOnce(kMainClass, GetSysColorBrush(COLOR_BTNFACE), icon, 0);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    RECT outer{0, 0, form_.clientWidth, form_.clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    Window::Create(kMainClass, form_.caption.c_str(), style, 0, 0, 0, outer.right - outer.left,
                   outer.bottom - outer.top, owner, nullptr);
    if (!Handle()) throw Error("Failed to create the main window");
    // Now that the frame is real and the status bar's font known.
    KeepClientInLimits();
    form_.onVisibleChanged = [this] { ShowOrHide(); };
    form_.onCentre = [this] { CentreOnScreen(Handle()); };
    form_.onBringToTop = [this] { SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); };
    // A tray click handled while the window was being made has already shown the model.
    if (form_.Visible()) ShowOrHide();
}

bool MainWindow::OnCreate() {
    font_.Reset(CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            "MS Sans Serif"));
    {
        WindowDc dc(Handle());
        SelectedObject selected(dc, font_.Get());
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics)) fontHeight_ = metrics.tmHeight;
    }
    RECT client;
    GetClientRect(Handle(), &client);
    clientWidth_ = client.right;
    clientHeight_ = client.bottom;
    MeasureStatusBar();
    for (auto& binding : bindings_)
        binding->Create(*this);
    // Again with the status bar's own borders, and in its font.
    const int firstGuess = statusHeight_;
    MeasureStatusBar();
    if (statusHeight_ != firstGuess) LayOut();
    CreateHints();
    for (auto& binding : bindings_)
        binding->Sync();
    return true;
}

// Controls with a hint show it when the pointer rests on them ("Zoom to fit" explains when it is needed).
void MainWindow::CreateHints() {
    for (const auto& binding : bindings_) {
        const std::string& hint = binding->Model().hint;
        if (hint.empty() || !binding->Handle()) continue;
        if (!tooltip_)
            tooltip_.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                           GetModuleHandleA(nullptr), nullptr));
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(binding->Handle());
        tool.lpszText = const_cast<char*>(hint.c_str());
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // After 500 ms of rest, at once from one control with a hint to the next, for 2.5 s.
    if (tooltip_) {
        SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(500, 0));
        SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(0, 0));
        SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(2500, 0));
    }
}

void MainWindow::MeasureStatusBar() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        statusFont_.Reset(CreateFontIndirectA(&metrics.lfStatusFont));
    int textHeight = 0;
    {
        WindowDc dc(Handle());
        SelectedObject selected(dc, statusFont_ ? statusFont_.Get() : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA text;
        if (GetTextMetricsA(dc, &text)) textHeight = text.tmHeight;
    }
    int borders[3] = {0, 2, 2};
    if (HWND status = GetDlgItem(Handle(), kIdStatus)) {
        SendMessageA(status, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.Get()), FALSE);
        SendMessageA(status, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    }
    statusHeight_ = StatusBarHeight(form_.Status.bounds.height, textHeight, borders[1]);
}

SIZE MainWindow::FrameSize() const {
    RECT window, client;
    if (Handle() && !IsIconic(Handle()) && GetWindowRect(Handle(), &window) &&
        GetClientRect(Handle(), &client))
        return SIZE{(window.right - window.left) - client.right,
                    (window.bottom - window.top) - client.bottom};
    RECT outer{0, 0, 0, 0};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

SizeLimits MainWindow::OuterLimits() const {
    const SIZE frame = FrameSize();
    return tavo::OuterLimits(form_.clientLimits, frame.cx, frame.cy,
                             std::max(0, statusHeight_ - form_.Status.bounds.height));
}

void MainWindow::KeepClientInLimits() {
    if (!Handle() || IsIconic(Handle()) || IsZoomed(Handle())) return;
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    const SIZE frame = FrameSize();
    const SizeLimits limits = OuterLimits();
    int width = client.right + frame.cx, height = client.bottom + frame.cy;
    if (limits.minWidth) width = std::max(width, limits.minWidth);
    if (limits.maxWidth) width = std::min(width, limits.maxWidth);
    if (limits.minHeight) height = std::max(height, limits.minHeight);
    if (limits.maxHeight) height = std::min(height, limits.maxHeight);
    if (width != window.right - window.left || height != window.bottom - window.top)
        SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where a control sits in the window's client area now: its parent's place plus
// its own designed bounds, moved and stretched by its anchors.
RECT MainWindow::PlaceOf(const Control& control) const {
    // A status bar taller than designed takes its extra height from the bottom of the area the other
    // controls are laid out in.
    const int statusExtra = std::max(0, statusHeight_ - form_.Status.bounds.height);
    int originX = 0, originY = 0, width = clientWidth_, height = clientHeight_ - statusExtra;
    int designedWidth = form_.clientWidth, designedHeight = form_.clientHeight;
    if (const Control* parent = control.Parent()) {
        const RECT p = PlaceOf(*parent);
        originX = p.left;
        originY = p.top;
        width = p.right - p.left;
        height = p.bottom - p.top;
        designedWidth = parent->bounds.width;
        designedHeight = parent->bounds.height;
    }
    Bounds b = AnchoredBounds(control.bounds, control.anchors, designedWidth, designedHeight, width, height);
    if (control.align == Align::Bottom && !control.Parent()) {
        const int docked = &control == &form_.Status ? statusHeight_ : control.bounds.height;
        b = Bounds{0, clientHeight_ - docked, width, docked};
    }
    return RECT{originX + b.left, originY + b.top, originX + b.left + b.width, originY + b.top + b.height};
}

void MainWindow::OnSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    LayOut();
}

void MainWindow::LayOut() {
    HDWP positions = BeginDeferWindowPos(static_cast<int>(bindings_.size()));
    for (const auto& binding : bindings_)
        binding->Place(positions);
    if (positions) EndDeferWindowPos(positions);
    for (auto& binding : bindings_)
        binding->Placed();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void MainWindow::ShowOrHide() {
    if (form_.Visible()) {
        // In the state the settings store restored.
        ShowWindow(Handle(), ShowCommandOf(form_.windowState));
        SetForegroundWindow(Handle());
        if (!IsIconic(Handle())) RestoreFocus();
    } else {
        ShowWindow(Handle(), SW_HIDE);
    }
}

// Back to the control that had the focus, or the first one that can take it.
void MainWindow::RestoreFocus() {
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : FirstFocusable();
    if (const ControlBinding* binding = BindingContaining(bindings_, target))
        target = binding->FocusOnReturn(target);
    if (target) SetFocus(target);
}

HWND MainWindow::FirstFocusable() const {
    for (const auto& binding : bindings_) {
        const LONG_PTR style = GetWindowLongPtrA(binding->Handle(), GWL_STYLE);
        if ((style & WS_TABSTOP) && IsWindowEnabled(binding->Handle())) return binding->Handle();
    }
    return nullptr;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const SizeLimits limits = OuterLimits();
            if (limits.minWidth) info->ptMinTrackSize.x = limits.minWidth;
            if (limits.minHeight) info->ptMinTrackSize.y = limits.minHeight;
            if (limits.maxWidth) info->ptMaxTrackSize.x = limits.maxWidth;
            if (limits.maxHeight) info->ptMaxTrackSize.y = limits.maxHeight;
            return 0;
        }
        case WM_SETTINGCHANGE:
            // A new border width or status-bar font: the same client area inside the new frame.
            if (wParam == SPI_SETNONCLIENTMETRICS) {
                MeasureStatusBar();
                SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                             SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                KeepClientInLimits();
                LayOut();
            }
            break;
        case WM_SETCURSOR:
            if (cursor_.ApplyWhenBusy()) return TRUE;
            break;
        case WM_ACTIVATE:
            // Like a dialog: the control that had the focus gets it back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                RestoreFocus();
            }
            return 0;
        default:
            break;
    }
    // The close query saves the settings, at the close box and at the session's end.
    LRESULT result = 0;
    if (HandleFormClose(form_, message, result)) return result;
    return Window::HandleMessage(message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code, HWND) {
    if (id == IDOK) {
        // Enter presses the focused button.
        if (ControlBinding* focused = BindingContaining(bindings_, GetFocus())) focused->PressDefault();
        return;
    }
    for (auto& binding : bindings_) {
        if (binding->OwnsId(id)) {
            binding->OnCommand(id, code);
            return;
        }
    }
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
    for (auto& binding : bindings_)
        if (binding->Handle() && binding->Handle() == header->hwndFrom) return binding->OnNotify(header);
    return 0;
}

}  // namespace tavo::win32
