// The image list grid: an owner-data list view that asks the StringGrid model for its cells and
// hands the user's mouse, wheel and keys to the model, which decides the selection.
#include "platform/win32/grid_binding.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/window.h"

namespace tavo::win32 {

namespace {

constexpr UINT_PTR kGridSubclassId = 1;

bool GridKeyOf(WPARAM key, GridKey& gridKey) {
    switch (key) {
        case VK_UP:
            gridKey = GridKey::Up;
            return true;
        case VK_DOWN:
            gridKey = GridKey::Down;
            return true;
        case VK_LEFT:
            gridKey = GridKey::Left;
            return true;
        case VK_RIGHT:
            gridKey = GridKey::Right;
            return true;
        case VK_PRIOR:
            gridKey = GridKey::PageUp;
            return true;
        case VK_NEXT:
            gridKey = GridKey::PageDown;
            return true;
        case VK_HOME:
            gridKey = GridKey::Home;
            return true;
        case VK_END:
            gridKey = GridKey::End;
            return true;
        default:
            return false;
    }
}

}  // namespace

HWND GridBinding::MakeWindow() {
    HWND grid = MakeChild(
        WC_LISTVIEWA, "",
        ChildStyle(true) | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
        WS_EX_CLIENTEDGE);
    if (!grid) return nullptr;
    const StringGrid& model = grid_;
    SendMessageA(grid, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    SendMessageA(grid, LVM_SETBKCOLOR, 0, face);
    SendMessageA(grid, LVM_SETTEXTBKCOLOR, 0, face);
    // A one-pixel-wide row picture sets the row height the grid asks for.
    rowHeight_.Reset(ImageList_Create(1, model.defaultRowHeight, ILC_COLOR, 1, 0));
    SendMessageA(grid, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rowHeight_.Get()));
    headerTexts_.assign(model.ColCount(), std::string());
    for (int col = 0; col < model.ColCount(); ++col) {
        headerTexts_[col] = model.Cell(col, 0);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = col < static_cast<int>(model.colWidths.size()) ? model.colWidths[col] : 64;
        column.pszText = const_cast<char*>(headerTexts_[col].c_str());
        column.iSubItem = col;
        SendMessageA(grid, LVM_INSERTCOLUMNA, col, reinterpret_cast<LPARAM>(&column));
    }
    SetWindowSubclass(grid, GridProc, kGridSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return grid;
}

void GridBinding::Placed() {
    if (Handle())
        grid_.pageRows = std::max(1, static_cast<int>(SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)));
}

bool GridBinding::IsHeader(HWND hwnd) const {
    return Handle() && hwnd == reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
}

// The model is the truth: row count, header texts and the selected row are copied to the control.
void GridBinding::SyncState() {
    const StringGrid& model = grid_;
    const int items = model.RowCount() - model.FixedRows();
    if (SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0) != items)
        SendMessageA(Handle(), LVM_SETITEMCOUNT, items, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    for (int col = 0; col < static_cast<int>(headerTexts_.size()); ++col) {
        if (headerTexts_[col] == model.Cell(col, 0)) continue;
        headerTexts_[col] = model.Cell(col, 0);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<char*>(headerTexts_[col].c_str());
        SendMessageA(Handle(), LVM_SETCOLUMNA, col, reinterpret_cast<LPARAM>(&column));
    }
    const int wanted = model.Row() - model.FixedRows();
    const int shown =
        static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (wanted != shown) {
        // The selected row alone, never the list view's focused item: a list view may scroll its focused
        // item into view by itself (Wine's does), and a drag onto the half-visible bottom row would then
        // scroll the next row under the pointer, which selects that, and so on to the end of the list. The
        // grid scrolls the selected row into view itself where it should (a press, a key, the wheel).
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageA(Handle(), LVM_SETITEMSTATE, wanted, reinterpret_cast<LPARAM>(&state));
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT GridBinding::OnNotify(NMHDR* header) {
    const StringGrid& model = grid_;
    switch (header->code) {
        case LVN_GETDISPINFOA: {
            LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
            if (item.mask & LVIF_TEXT) {
                // The model's string outlives the control's use of it.
                item.pszText =
                    const_cast<char*>(model.Cell(item.iSubItem, item.iItem + model.FixedRows()).c_str());
            }
            if (item.mask & LVIF_IMAGE) item.iImage = I_IMAGENONE;
            return 0;
        }
        case LVN_ODFINDITEMA:
            return -1;  // typing never moves the selection
        case NM_CUSTOMDRAW:
            return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        default:
            return 0;
    }
}

// The grid draws its cells itself: the selected row highlighted whether or not
// the grid has the focus, and grid lines that show on the button face.
LRESULT GridBinding::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            DrawCell(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem);
            return CDRF_SKIPDEFAULT;
        case CDDS_POSTPAINT:
            DrawLines(draw->nmcd.hdc);
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

// One cell: its background, and its text 2 pixels right of and below the cell's
// top-left corner, clipped to the cell.
void GridBinding::DrawCell(HDC dc, int item, int col) {
    const StringGrid& model = grid_;
    RECT cell{};
    cell.top = col;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageA(Handle(), LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell))) return;
    // The first column's rectangle is the whole row; it ends at the column's width.
    if (col == 0) cell.right = cell.left + static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, 0, 0));
    const bool selected = item == model.Row() - model.FixedRows();
    FillRect(dc, &cell, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    const std::string& text = model.Cell(col, item + model.FixedRows());
    RECT clip = cell;
    clip.right -= 1;  // the grid lines
    clip.bottom -= 1;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ExtTextOutA(dc, cell.left + 2, cell.top + 2, ETO_CLIPPED, &clip, text.data(),
                static_cast<UINT>(text.size()), nullptr);
}

void GridBinding::DrawLines(HDC dc) {
    const StringGrid& model = grid_;
    RECT client;
    GetClientRect(Handle(), &client);
    const int items = model.RowCount() - model.FixedRows();
    const int top = static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
    RECT first{};
    first.left = LVIR_BOUNDS;
    if (items <= 0 || !SendMessageA(Handle(), LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&first))) return;
    const int pitch = first.bottom - first.top;
    if (pitch <= 0) return;
    OwnedPen pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    SelectedObject selected(dc, pen.Get());
    const int right = first.right;
    const int bottom = std::min<int>(client.bottom, first.top + (items - top) * pitch);
    for (int y = first.top + pitch - 1; y < bottom; y += pitch) {
        MoveToEx(dc, first.left, y, nullptr);
        LineTo(dc, right, y);
    }
    int x = first.left;
    for (size_t col = 0; col < headerTexts_.size(); ++col) {
        x += static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, col, 0));
        MoveToEx(dc, x - 1, first.top, nullptr);
        LineTo(dc, x - 1, bottom);
    }
}

// The row under a point of the grid's client area; -1 on the header or below the last row.
int GridBinding::HitRow(LPARAM point) const {
    const StringGrid& model = grid_;
    const int y = static_cast<short>(HIWORD(point));
    const int top = static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
    RECT item{};
    item.left = LVIR_BOUNDS;
    if (!SendMessageA(Handle(), LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&item))) return -1;
    const int height = item.bottom - item.top;
    if (height <= 0 || y < item.top) return -1;
    const int index = top + (y - item.top) / height;
    if (index >= model.RowCount() - model.FixedRows()) return -1;
    return index + model.FixedRows();
}

// The pointer has left the system's drag rectangle around the press. Until then the row pressed stays
// selected: a hand's tremor, or the rows that scrolled under the resting pointer, select nothing.
bool GridBinding::DragStarted(LPARAM point) {
    if (!dragging_) {
        const int dx = GET_X_LPARAM(point) - GET_X_LPARAM(pressPoint_);
        const int dy = GET_Y_LPARAM(point) - GET_Y_LPARAM(pressPoint_);
        dragging_ =
            std::abs(dx) > GetSystemMetrics(SM_CXDRAG) / 2 || std::abs(dy) > GetSystemMetrics(SM_CYDRAG) / 2;
    }
    return dragging_;
}

void GridBinding::ShowSelectedRow() {
    const StringGrid& model = grid_;
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, model.Row() - model.FixedRows(), FALSE);
}

LRESULT GridBinding::GridMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    StringGrid& model = grid_;
    HWND grid = Handle();
    handled = true;
    switch (message) {
        case WM_LBUTTONDOWN: {
            SetFocus(grid);
            SetCapture(grid);
            // The row pressed is selected, then scrolled into full view (a half-visible bottom row by one).
            const int row = HitRow(lParam);
            model.LeftButtonDown(row);
            if (row >= 0) ShowSelectedRow();
            pressPoint_ = lParam;
            dragging_ = false;
            return 0;
        }
        case WM_MOUSEMOVE:
            if (GetCapture() == grid && (wParam & MK_LBUTTON) && DragStarted(lParam))
                model.LeftButtonDrag(HitRow(lParam));
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == grid) ReleaseCapture();
            model.LeftButtonUp();
            return 0;
        case WM_LBUTTONDBLCLK:
            SetFocus(grid);
            model.DoubleClick();
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return 0;  // the right button never selects; its release opens the context menu
        case WM_MOUSEWHEEL:
            if (GetFocus() != grid) break;
            wheelDelta_ += GET_WHEEL_DELTA_WPARAM(wParam);
            while (wheelDelta_ >= WHEEL_DELTA || wheelDelta_ <= -WHEEL_DELTA) {
                const bool down = wheelDelta_ < 0;
                wheelDelta_ += down ? WHEEL_DELTA : -WHEEL_DELTA;
                model.WheelNotch(down);
            }
            ShowSelectedRow();
            return 0;
        case WM_KEYDOWN: {
            GridKey key;
            if (GridKeyOf(wParam, key)) {
                model.PressKey(key);
                ShowSelectedRow();
                return 0;
            }
            if (wParam == VK_SPACE) return 0;
            break;
        }
        case WM_CHAR:
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

LRESULT CALLBACK GridBinding::GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    try {
        bool handled = false;
        const LRESULT result =
            reinterpret_cast<GridBinding*>(self)->GridMessage(message, wParam, lParam, handled);
        if (handled) return result;
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, GridProc, kGridSubclassId);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tavo::win32
