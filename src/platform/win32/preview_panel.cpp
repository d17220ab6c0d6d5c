// Painting the preview panel: desktop colour, the centred caption, the centred and clipped picture.
#include "platform/win32/preview_panel.h"

#include "platform/win32/dib.h"

namespace tavo::win32 {

namespace {
const char kPanelClass[] = "TavoPreviewPanel";
}

void PreviewPanel::Create(HWND parent, const RECT& place, HFONT font) {
    font_ = font;
    RegisterClassOnce(kPanelClass, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW);
    Window::Create(kPanelClass, panel_.Caption().c_str(), WS_CHILD | WS_VISIBLE, 0, place.left, place.top,
                   place.right - place.left, place.bottom - place.top, parent, nullptr);
}

LRESULT PreviewPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;  // Paint covers every pixel
    return Window::HandleMessage(message, wParam, lParam);
}

void PreviewPanel::Paint(HDC dc, const RECT&) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BACKGROUND));
    {
        SelectedObject font(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextA(dc, panel_.Caption().c_str(), -1, &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    const int saved = SaveDC(dc);
    const Bounds& box = image_.bounds;
    IntersectClipRect(dc, box.left, box.top, box.left + box.width, box.top + box.height);
    DrawBitmap(dc, image_.Picture(), image_.bounds.left + image_.PictureLeft(),
               image_.bounds.top + image_.PictureTop());
    RestoreDC(dc, saved);
}

}  // namespace tavo::win32
