// The control bindings: creating each kind's Win32 control, drawing the model, forwarding the input.
#include "platform/win32/bindings.h"

#include <algorithm>

#include "platform/win32/window.h"

namespace tavo::win32 {

namespace {

// The window's context menu is the edit box's too: the box's own editing menu never opens.
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CONTEXTMENU) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, EditProc, 1);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void Move(HDWP& positions, HWND hwnd, const RECT& r) {
    if (hwnd && positions)
        positions = DeferWindowPos(positions, hwnd, nullptr, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CanTakeFocus(HWND hwnd) {
    return hwnd && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(hwnd);
}

// Image list order of a button's states: normal, hot, pressed, disabled, default, stylus hot.
constexpr int kButtonStates = 6;
constexpr int kDisabledState = 3;

// A strip of one or two square pictures (the second the greyed one) as a button's
// state images; the colour of the bottom-left pixel is transparent.
HIMAGELIST ButtonImages(const char* resource) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    OwnedBitmap strip(
        static_cast<HBITMAP>(LoadImageA(instance, resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip) return nullptr;
    BITMAP info{};
    GetObjectA(strip, sizeof info, &info);
    const int size = info.bmHeight;
    const bool hasGreyed = info.bmWidth >= 2 * size;

    WindowDc screen(nullptr);
    OwnedBitmap states(CreateCompatibleBitmap(screen, size * kButtonStates, size));
    COLORREF transparent;
    {
        MemoryDc source(screen);
        MemoryDc target(screen);
        SelectedObject from(source, strip.Get());
        SelectedObject to(target, states.Get());
        // A monochrome picture's bits become black and white.
        SetTextColor(target, RGB(0, 0, 0));
        SetBkColor(target, RGB(255, 255, 255));
        transparent = GetPixel(source, 0, size - 1);
        for (int state = 0; state < kButtonStates; ++state) {
            const int fromX = (state == kDisabledState && hasGreyed) ? size : 0;
            BitBlt(target, state * size, 0, size, size, source, fromX, 0, SRCCOPY);
        }
    }
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kButtonStates, 0);
    if (list) ImageList_AddMasked(list, states, transparent);
    return list;
}

}  // namespace

ControlBinding* BindingOf(const Bindings& bindings, const Control* model) {
    for (const auto& binding : bindings)
        if (&binding->Model() == model) return binding.get();
    return nullptr;
}

ControlBinding* BindingContaining(const Bindings& bindings, HWND hwnd) {
    for (const auto& binding : bindings)
        if (binding->Contains(hwnd)) return binding.get();
    return nullptr;
}

// ---- every kind ----

void ControlBinding::Create(BindingHost& host) {
    host_ = &host;
    hwnd_ = MakeWindow();
    if (hwnd_ && TakesWindowFont())
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(host.ControlFont()), FALSE);
    model_.onChanged = [this] { Sync(); };
}

void ControlBinding::Sync() {
    if (!hwnd_) return;
    EnableWindow(hwnd_, model_.Enabled());
    ShowWindow(hwnd_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
    SyncState();
}

void ControlBinding::Place(HDWP& positions) const {
    Move(positions, hwnd_, host_->PlaceOf(model_));
}

HWND ControlBinding::MakeChild(const char* className, const char* text, DWORD style, DWORD exStyle) const {
    const RECT place = host_->PlaceOf(model_);
    return CreateWindowExA(exStyle, className, text, style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, host_->ControlParent(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleA(nullptr),
                           nullptr);
}

DWORD ControlBinding::ChildStyle(bool tabStop) const {
    const bool group = tabStop && model_.tabOrder == 0 && model_.Parent();
    return WS_CHILD | WS_VISIBLE | (tabStop ? WS_TABSTOP : 0) | (group ? WS_GROUP : 0);
}

void ControlBinding::SyncCaption() const {
    if (WindowText(hwnd_) != model_.Caption()) SetWindowTextA(hwnd_, model_.Caption().c_str());
}

// ---- group boxes and labels ----

HWND GroupBinding::MakeWindow() {
    return MakeChild("BUTTON", Model().Caption().c_str(), ChildStyle(false) | BS_GROUPBOX);
}

void GroupBinding::RunAccessKey() {
    const ControlBinding* first = nullptr;
    for (const auto& binding : Host().AllBindings()) {
        const Control& child = binding->Model();
        if (child.Parent() != &Model() || child.tabOrder < 0 || !CanTakeFocus(binding->Handle())) continue;
        if (!first || child.tabOrder < first->Model().tabOrder) first = binding.get();
    }
    if (first) SetFocus(first->Handle());
}

HWND LabelBinding::MakeWindow() {
    return MakeChild("STATIC", label_.Caption().c_str(),
                     ChildStyle(false) | (label_.rightAligned ? SS_RIGHT : SS_LEFT));
}

// ---- buttons and check boxes ----

HWND ButtonBinding::MakeWindow() {
    HWND button = MakeChild("BUTTON", button_.Caption().c_str(), ChildStyle(true) | BS_PUSHBUTTON);
    if (button && glyph_) SetGlyph(button);
    return button;
}

void ButtonBinding::SetGlyph(HWND button) {
    glyphImages_.Reset(ButtonImages(glyph_));
    if (!glyphImages_) return;
    BUTTON_IMAGELIST images{};
    images.himl = glyphImages_;
    images.margin = RECT{4, 0, 0, 0};
    images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
    SendMessageA(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
}

void ButtonBinding::OnCommand(int, int code) {
    if (code == BN_CLICKED) button_.Click();
}

bool ButtonBinding::PressDefault() {
    button_.Click();
    return true;
}

HWND CheckBinding::MakeWindow() {
    return MakeChild("BUTTON", check_.Caption().c_str(), ChildStyle(true) | BS_CHECKBOX);
}

void CheckBinding::SyncState() {
    SyncCaption();
    SendMessageA(Handle(), BM_SETCHECK, check_.Checked() ? BST_CHECKED : 0, 0);
}

void CheckBinding::OnCommand(int, int code) {
    if (code == BN_CLICKED) check_.Toggle();
}

void CheckBinding::RunAccessKey() {
    SetFocus(Handle());
    check_.Toggle();
}

// ---- the radio group ----

HWND RadioBinding::MakeWindow() {
    HWND group = MakeChild("BUTTON", radio_.Caption().c_str(), ChildStyle(false) | BS_GROUPBOX);
    for (size_t i = 0; i < radio_.Items().size(); ++i) {
        const RECT place = ItemPlace(static_cast<int>(i));
        const DWORD style = WS_CHILD | WS_VISIBLE | (i == 0 ? WS_TABSTOP | WS_GROUP : 0);
        HWND item = CreateWindowExA(
            0, "BUTTON", radio_.Items()[i].c_str(), style | BS_RADIOBUTTON | BS_NOTIFY, place.left, place.top,
            place.right - place.left, place.bottom - place.top, Host().ControlParent(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstItemId_ + i)), GetModuleHandleA(nullptr),
            nullptr);
        SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(Host().ControlFont()), FALSE);
        items_.push_back(item);
    }
    return group;
}

// The items share the group's height below its caption.
RECT RadioBinding::ItemPlace(int index) const {
    const RECT group = Host().PlaceOf(radio_);
    const int fontHeight = Host().FontHeight();
    const int count = std::max<int>(1, static_cast<int>(radio_.Items().size()));
    const int usable = (group.bottom - group.top) - fontHeight - 5;
    const int itemHeight = usable / count;
    const int top = group.top + fontHeight + 1 + (usable % count) / 2 + index * itemHeight;
    return RECT{group.left + 8, top, group.right - 2, top + itemHeight};
}

void RadioBinding::Place(HDWP& positions) const {
    ControlBinding::Place(positions);
    for (size_t i = 0; i < items_.size(); ++i)
        Move(positions, items_[i], ItemPlace(static_cast<int>(i)));
}

void RadioBinding::SyncState() {
    SyncCaption();
    for (size_t i = 0; i < items_.size(); ++i) {
        const bool on = static_cast<int>(i) == radio_.ItemIndex();
        SendMessageA(items_[i], BM_SETCHECK, on ? BST_CHECKED : 0, 0);
        EnableWindow(items_[i], radio_.Enabled());
        // The checked item is the group's tab stop.
        LONG_PTR style = GetWindowLongPtrA(items_[i], GWL_STYLE);
        style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrA(items_[i], GWL_STYLE, style);
    }
}

bool RadioBinding::Contains(HWND hwnd) const {
    return ControlBinding::Contains(hwnd) ||
           (hwnd && std::find(items_.begin(), items_.end(), hwnd) != items_.end());
}

bool RadioBinding::OwnsId(int id) const {
    return id >= firstItemId_ && id < firstItemId_ + static_cast<int>(items_.size());
}

void RadioBinding::OnCommand(int id, int code) {
    // As with any radio buttons, moving the focus onto an item with the arrow keys selects it.
    if (code == BN_CLICKED || code == BN_SETFOCUS) radio_.SetItemIndex(id - firstItemId_);
}

void RadioBinding::RunAccessKey() {
    const size_t index = radio_.ItemIndex() >= 0 ? static_cast<size_t>(radio_.ItemIndex()) : 0;
    if (index < items_.size()) SetFocus(items_[index]);
}

HWND RadioBinding::FocusOnReturn(HWND previous) const {
    const int checked = radio_.ItemIndex();
    const bool isItem = std::find(items_.begin(), items_.end(), previous) != items_.end();
    if (isItem && checked >= 0 && checked < static_cast<int>(items_.size())) return items_[checked];
    return previous;
}

// ---- the edit box and its spinner ----

HWND EditBinding::MakeWindow() {
    HWND edit = MakeChild("EDIT", edit_.Text().c_str(), ChildStyle(true) | ES_AUTOHSCROLL | ES_LEFT,
                          WS_EX_CLIENTEDGE);
    if (edit) SetWindowSubclass(edit, EditProc, 1, 0);
    return edit;
}

void EditBinding::SyncState() {
    if (WindowText(Handle()) != edit_.Text()) SetWindowTextA(Handle(), edit_.Text().c_str());
}

void EditBinding::OnCommand(int, int code) {
    if (code == EN_CHANGE) edit_.SetText(WindowText(Handle()));
}

HWND SpinnerBinding::MakeWindow() {
    HWND spinner = MakeChild(UPDOWN_CLASSA, "", ChildStyle(false) | UDS_ARROWKEYS);
    // The up-down shows its value in its associate's edit box; the model formats it.
    if (const ControlBinding* buddy = BindingOf(Host().AllBindings(), upDown_.Associate()))
        SendMessageA(spinner, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy->Handle()), 0);
    return spinner;
}

void SpinnerBinding::SyncState() {
    SendMessageA(Handle(), UDM_SETRANGE32, upDown_.Min(), upDown_.Max());
    SendMessageA(Handle(), UDM_SETPOS32, 0, upDown_.Position());
}

LRESULT SpinnerBinding::OnNotify(NMHDR* header) {
    if (header->code != UDN_DELTAPOS) return 0;
    // The model steps from the number the edit box shows; the control's own change is cancelled.
    const auto* change = reinterpret_cast<NMUPDOWN*>(header);
    if (change->iDelta > 0) upDown_.StepUp();
    if (change->iDelta < 0) upDown_.StepDown();
    return TRUE;
}

// ---- the status bar and the preview panel ----

HWND StatusBinding::MakeWindow() {
    HWND status =
        MakeChild(STATUSCLASSNAMEA, "",
                  ChildStyle(false) | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER);
    if (status) SendMessageA(status, SB_SIMPLE, TRUE, 0);
    return status;
}

void StatusBinding::SyncState() {
    SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(status_.SimpleText().c_str()));
    // Drawn now: the stage texts of a long operation appear while it runs.
    UpdateWindow(Handle());
}

HWND PanelBinding::MakeWindow() {
    panel_.Create(Host().ControlParent(), Host().PlaceOf(Model()), Host().ControlFont());
    image_.onChanged = [this] {
        if (panel_.Handle()) InvalidateRect(panel_.Handle(), nullptr, FALSE);
    };
    return panel_.Handle();
}

void PanelBinding::SyncState() {
    InvalidateRect(Handle(), nullptr, FALSE);
}

void PanelBinding::Detach() {
    ControlBinding::Detach();
    image_.onChanged = nullptr;
}

}  // namespace tavo::win32
