// The main window's creation, its anchored layout and the drawing of the models' state.
#include "platform/win32/main_window.h"

#include <algorithm>

#include "base/error.h"
#include "framework/layout.h"

namespace tavo::win32 {

namespace {

const char kMainClass[] = "TavoWallpaperMain";

// The window's context menu is the edit box's too: the box's own editing menu never opens.
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CONTEXTMENU) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, EditProc, 1);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

DWORD StyleOf(bool tabStop, bool group) {
    return WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0) | (group ? WS_GROUP : 0);
}

}  // namespace

MainWindow::MainWindow(TForm1& form, CursorWin32& cursor)
    : form_(form), cursor_(cursor), panel_(form.Panel1, form.Image1) {
    // Creation order is the tab order: each parent's controls by their tab position.
    bindings_ = {
        {&form_.FilezGB, Kind::Group, kIdFilezGB},
        {&form_.BitBtn4, Kind::Button, kIdOpen},
        {&form_.BitBtn1, Kind::Button, kIdAdd},
        {&form_.Filez, Kind::Grid, kIdFilez},
        {&form_.AutoGB, Kind::Group, kIdAutoGB},
        {&form_.AutoEnabled, Kind::Check, kIdAutoEnabled},
        {&form_.Randomized, Kind::Check, kIdRandomized},
        {&form_.Label1, Kind::Label, kIdLabel1},
        {&form_.Edit1, Kind::Edit, kIdEdit1},
        {&form_.DelayUD, Kind::Spinner, kIdDelayUD},
        {&form_.Label2, Kind::Label, kIdLabel2},
        {&form_.AutoRun, Kind::Check, kIdAutoRun},
        {&form_.PreviewGB, Kind::Group, kIdPreviewGB},
        {&form_.Panel1, Kind::Panel, kIdPanel1},
        {&form_.ResamplingGB, Kind::Group, kIdResamplingGB},
        {&form_.ResLarge, Kind::Check, kIdResLarge},
        {&form_.ResSmall, Kind::Check, kIdResSmall},
        {&form_.PropRes, Kind::Check, kIdPropRes},
        {&form_.PixFormat, Kind::Radio, kIdPixFormat},
        {&form_.ButtonsGB, Kind::Group, kIdButtonsGB},
        {&form_.BitBtn2, Kind::Button, kIdAbout},
        {&form_.BitBtn3, Kind::Button, kIdHide},
        {&form_.Status, Kind::Status, kIdStatus},
    };
}

MainWindow::~MainWindow() {
    for (Binding& binding : bindings_)
        binding.model->onChanged = nullptr;
    form_.Image1.onChanged = nullptr;
    form_.onVisibleChanged = nullptr;
    if (tooltip_) DestroyWindow(tooltip_);
    if (Handle()) DestroyWindow(Handle());
    for (HIMAGELIST list : glyphs_)
        ImageList_Destroy(list);
    if (gridRows_) ImageList_Destroy(gridRows_);
}

void MainWindow::Create() {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    RegisterClassOnce(kMainClass, GetSysColorBrush(COLOR_BTNFACE), icon, 0);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    RECT outer{0, 0, form_.clientWidth, form_.clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    const SizeLimits& limits = form_.limits;
    if (limits.minWidth) width = std::max(width, limits.minWidth);
    if (limits.maxWidth) width = std::min(width, limits.maxWidth);
    if (limits.minHeight) height = std::max(height, limits.minHeight);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    Window::Create(kMainClass, form_.caption.c_str(), style, 0, left, top, width, height, nullptr, nullptr);
    if (!Handle()) throw Error("Failed to create the main window");
    form_.onVisibleChanged = [this] { ShowOrHide(); };
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
    CreateControls();
    SetGlyphs();
    CreateHint();
    for (const Binding& binding : bindings_)
        Sync(binding);
    return true;
}

void MainWindow::CreateControls() {
    for (Binding& binding : bindings_) {
        binding.hwnd = CreateControl(binding);
        if (binding.kind != Kind::Status && binding.hwnd)
            SendMessageA(binding.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        if (binding.kind == Kind::Radio) CreateRadioItems(binding);
        binding.model->onChanged = [this, model = binding.model] {
            if (Binding* b = Find(model)) Sync(*b);
        };
    }
    form_.Image1.onChanged = [this] {
        if (panel_.Handle()) InvalidateRect(panel_.Handle(), nullptr, FALSE);
    };
    // The up-down shows its value in the edit box; the model formats it.
    if (Binding* spinner = Find(&form_.DelayUD)) SendMessageA(spinner->hwnd, UDM_SETBUDDY, (WPARAM)edit_, 0);
}

HWND MainWindow::CreateControl(Binding& binding) {
    const Control& model = *binding.model;
    const RECT place = PlaceOf(model);
    const int x = place.left, y = place.top, w = place.right - place.left, h = place.bottom - place.top;
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(binding.id));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const bool firstInGroup = model.tabOrder == 0 && model.Parent();
    auto make = [&](DWORD exStyle, const char* cls, const char* text, DWORD style) {
        return CreateWindowExA(exStyle, cls, text, style, x, y, w, h, Handle(), id, instance, nullptr);
    };
    switch (binding.kind) {
        case Kind::Group:
        case Kind::Radio:
            return make(0, "BUTTON", model.Caption().c_str(), StyleOf(false, false) | BS_GROUPBOX);
        case Kind::Button:
            return make(0, "BUTTON", model.Caption().c_str(), StyleOf(true, firstInGroup) | BS_PUSHBUTTON);
        case Kind::Check:
            return make(0, "BUTTON", model.Caption().c_str(), StyleOf(true, firstInGroup) | BS_CHECKBOX);
        case Kind::Label: {
            const bool right = static_cast<const Label&>(model).rightAligned;
            return make(0, "STATIC", model.Caption().c_str(),
                        StyleOf(false, false) | (right ? SS_RIGHT : SS_LEFT));
        }
        case Kind::Edit:
            edit_ = make(WS_EX_CLIENTEDGE, "EDIT", form_.Edit1.Text().c_str(),
                         StyleOf(true, firstInGroup) | ES_AUTOHSCROLL | ES_LEFT);
            SetWindowSubclass(edit_, EditProc, 1, 0);
            return edit_;
        case Kind::Spinner:
            return make(0, UPDOWN_CLASSA, "", StyleOf(false, false) | UDS_ARROWKEYS);
        case Kind::Grid:
            grid_ = make(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                         StyleOf(true, firstInGroup) | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                             LVS_SHOWSELALWAYS | LVS_NOSORTHEADER);
            CreateGrid(grid_);
            return grid_;
        case Kind::Panel:
            panel_.Create(Handle(), place, font_.Get());
            return panel_.Handle();
        case Kind::Status:
            status_ = make(
                0, STATUSCLASSNAMEA, "",
                StyleOf(false, false) | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER);
            SendMessageA(status_, SB_SIMPLE, TRUE, 0);
            return status_;
    }
    return nullptr;
}

void MainWindow::CreateRadioItems(const Binding& group) {
    const RadioGroup& radio = form_.PixFormat;
    for (size_t i = 0; i < radio.Items().size(); ++i) {
        const RECT place = RadioItemPlace(static_cast<int>(i));
        HWND item = CreateWindowExA(0, "BUTTON", radio.Items()[i].c_str(),
                                    StyleOf(i == 0, i == 0) | BS_RADIOBUTTON | BS_NOTIFY, place.left,
                                    place.top, place.right - place.left, place.bottom - place.top, Handle(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdPixFormatItem0 + i)),
                                    GetModuleHandleA(nullptr), nullptr);
        SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        radioItems_.push_back(item);
    }
    (void)group;
}

// The one hint of the window: "Zoom to fit" explains when it is needed.
void MainWindow::CreateHint() {
    Binding* target = Find(&form_.ResSmall);
    if (!target || form_.ResSmall.hint.empty()) return;
    tooltip_ = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(target->hwnd);
    tool.lpszText = const_cast<char*>(form_.ResSmall.hint.c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// Where a control sits in the window's client area now: its parent's place plus
// its own designed bounds, moved and stretched by its anchors.
RECT MainWindow::PlaceOf(const Control& control) const {
    int originX = 0, originY = 0, width = clientWidth_, height = clientHeight_;
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
        b = Bounds{0, height - control.bounds.height, width, control.bounds.height};
    }
    return RECT{originX + b.left, originY + b.top, originX + b.left + b.width, originY + b.top + b.height};
}

// The radio group's items share its height below the caption, one column.
RECT MainWindow::RadioItemPlace(int index) const {
    const RECT group = PlaceOf(form_.PixFormat);
    const int count = std::max<int>(1, static_cast<int>(form_.PixFormat.Items().size()));
    const int usable = (group.bottom - group.top) - fontHeight_ - 5;
    const int itemHeight = usable / count;
    const int top = group.top + fontHeight_ + 1 + (usable % count) / 2 + index * itemHeight;
    return RECT{group.left + 8, top, group.right - 2, top + itemHeight};
}

void MainWindow::OnSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    LayOut();
}

void MainWindow::LayOut() {
    HDWP positions = BeginDeferWindowPos(static_cast<int>(bindings_.size() + radioItems_.size()));
    auto move = [&](HWND hwnd, const RECT& r) {
        if (hwnd && positions)
            positions = DeferWindowPos(positions, hwnd, nullptr, r.left, r.top, r.right - r.left,
                                       r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (const Binding& binding : bindings_)
        move(binding.hwnd, PlaceOf(*binding.model));
    for (size_t i = 0; i < radioItems_.size(); ++i)
        move(radioItems_[i], RadioItemPlace(static_cast<int>(i)));
    if (positions) EndDeferWindowPos(positions);
    if (grid_)
        form_.Filez.pageRows = std::max(1, static_cast<int>(SendMessageA(grid_, LVM_GETCOUNTPERPAGE, 0, 0)));
    InvalidateRect(Handle(), nullptr, TRUE);
}

void MainWindow::Sync(const Binding& binding) {
    const Control& model = *binding.model;
    HWND hwnd = binding.hwnd;
    if (!hwnd) return;
    EnableWindow(hwnd, model.Enabled());
    ShowWindow(hwnd, model.Visible() ? SW_SHOWNA : SW_HIDE);
    switch (binding.kind) {
        case Kind::Group:
        case Kind::Button:
        case Kind::Label:
            if (WindowText(hwnd) != model.Caption()) SetWindowTextA(hwnd, model.Caption().c_str());
            break;
        case Kind::Check:
            if (WindowText(hwnd) != model.Caption()) SetWindowTextA(hwnd, model.Caption().c_str());
            SendMessageA(hwnd, BM_SETCHECK, static_cast<const CheckBox&>(model).Checked() ? BST_CHECKED : 0,
                         0);
            break;
        case Kind::Radio:
            if (WindowText(hwnd) != model.Caption()) SetWindowTextA(hwnd, model.Caption().c_str());
            SyncRadioItems();
            break;
        case Kind::Edit:
            if (WindowText(hwnd) != form_.Edit1.Text()) SetWindowTextA(hwnd, form_.Edit1.Text().c_str());
            break;
        case Kind::Spinner:
            SendMessageA(hwnd, UDM_SETRANGE32, form_.DelayUD.Min(), form_.DelayUD.Max());
            SendMessageA(hwnd, UDM_SETPOS32, 0, form_.DelayUD.Position());
            break;
        case Kind::Grid:
            SyncGrid();
            break;
        case Kind::Panel:
            InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case Kind::Status:
            SendMessageA(hwnd, SB_SETTEXTA, SB_SIMPLEID,
                         reinterpret_cast<LPARAM>(form_.Status.SimpleText().c_str()));
            // Drawn now: the stage texts of a long operation appear while it runs.
            UpdateWindow(hwnd);
            break;
    }
}

void MainWindow::SyncRadioItems() {
    for (size_t i = 0; i < radioItems_.size(); ++i) {
        const bool on = static_cast<int>(i) == form_.PixFormat.ItemIndex();
        SendMessageA(radioItems_[i], BM_SETCHECK, on ? BST_CHECKED : 0, 0);
        EnableWindow(radioItems_[i], form_.PixFormat.Enabled());
        // The checked item is the group's tab stop.
        LONG_PTR style = GetWindowLongPtrA(radioItems_[i], GWL_STYLE);
        style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrA(radioItems_[i], GWL_STYLE, style);
    }
}

void MainWindow::ShowOrHide() {
    if (form_.Visible()) {
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
        RestoreFocus();
    } else {
        ShowWindow(Handle(), SW_HIDE);
    }
}

// Back to the control that had the focus. A radio item would select itself on
// getting the focus, so the group's checked item takes it instead.
void MainWindow::RestoreFocus() {
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : FirstFocusable();
    const int checked = form_.PixFormat.ItemIndex();
    for (HWND item : radioItems_) {
        if (item == target && checked >= 0 && checked < static_cast<int>(radioItems_.size()))
            target = radioItems_[checked];
    }
    if (target) SetFocus(target);
}

MainWindow::Binding* MainWindow::Find(const Control* model) {
    for (Binding& binding : bindings_)
        if (binding.model == model) return &binding;
    return nullptr;
}

MainWindow::Binding* MainWindow::FindId(int id) {
    for (Binding& binding : bindings_)
        if (binding.id == id) return &binding;
    return nullptr;
}

HWND MainWindow::FirstFocusable() const {
    for (const Binding& binding : bindings_) {
        const LONG_PTR style = GetWindowLongPtrA(binding.hwnd, GWL_STYLE);
        if ((style & WS_TABSTOP) && IsWindowEnabled(binding.hwnd)) return binding.hwnd;
    }
    return nullptr;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const SizeLimits& limits = form_.limits;
            if (limits.minWidth) info->ptMinTrackSize.x = limits.minWidth;
            if (limits.minHeight) info->ptMinTrackSize.y = limits.minHeight;
            if (limits.maxWidth) info->ptMaxTrackSize.x = limits.maxWidth;
            if (limits.maxHeight) info->ptMaxTrackSize.y = limits.maxHeight;
            return 0;
        }
        case WM_SETCURSOR:
            if (cursor_.ApplyWhenBusy()) return TRUE;
            break;
        case WM_CLOSE:
            form_.Close();
            return 0;
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
    return Window::HandleMessage(message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code, HWND) {
    if (id == IDOK) {
        // Enter presses the focused button.
        for (Binding& binding : bindings_)
            if (binding.kind == Kind::Button && binding.hwnd == GetFocus())
                static_cast<Button*>(binding.model)->Click();
        return;
    }
    if (id >= kIdPixFormatItem0 && id < kIdPixFormatItem0 + static_cast<int>(radioItems_.size())) {
        // As with any radio buttons, moving the focus onto an item with the arrow keys selects it.
        if (code == BN_CLICKED || code == BN_SETFOCUS) form_.PixFormat.SetItemIndex(id - kIdPixFormatItem0);
        return;
    }
    Binding* binding = FindId(id);
    if (!binding) return;
    if (binding->kind == Kind::Button && code == BN_CLICKED) static_cast<Button*>(binding->model)->Click();
    if (binding->kind == Kind::Check && code == BN_CLICKED) static_cast<CheckBox*>(binding->model)->Toggle();
    if (binding->kind == Kind::Edit && code == EN_CHANGE) form_.Edit1.SetText(WindowText(binding->hwnd));
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
    if (header->hwndFrom == grid_) return OnGridNotify(header);
    if (header->idFrom == kIdDelayUD && header->code == UDN_DELTAPOS) {
        // The model steps from the number the edit box shows; the control's own change is cancelled.
        const auto* change = reinterpret_cast<NMUPDOWN*>(header);
        if (change->iDelta > 0) form_.DelayUD.StepUp();
        if (change->iDelta < 0) form_.DelayUD.StepDown();
        return TRUE;
    }
    return 0;
}

}  // namespace tavo::win32
