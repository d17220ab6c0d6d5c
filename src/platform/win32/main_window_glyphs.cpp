// The pictures of the Open, Add, Hide and About buttons, shown through button image lists.
#include "platform/win32/main_window.h"

namespace tavo::win32 {

namespace {

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
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    OwnedBitmap states(CreateCompatibleBitmap(screen, size * kButtonStates, size));
    COLORREF transparent;
    {
        SelectedObject from(source, strip.Get());
        SelectedObject to(target, states.Get());
        // A monochrome picture's bits become black and white.
        SetTextColor(target, RGB(0, 0, 0));
        SetBkColor(target, RGB(255, 255, 255));
        transparent = GetPixel(source, 0, size - 1);
        for (int state = 0; state < kButtonStates; ++state) {
            const int from_x = (state == kDisabledState && hasGreyed) ? size : 0;
            BitBlt(target, state * size, 0, size, size, source, from_x, 0, SRCCOPY);
        }
    }
    DeleteDC(source);
    DeleteDC(target);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kButtonStates, 0);
    ImageList_AddMasked(list, states, transparent);
    return list;
}

}  // namespace

void MainWindow::SetGlyphs() {
    const struct {
        Control* button;
        const char* resource;
    } pictures[] = {
        {&form_.BitBtn4, "GLYPH_OPEN"},
        {&form_.BitBtn1, "GLYPH_ADD"},
        {&form_.BitBtn3, "GLYPH_HIDE"},
        {&form_.BitBtn2, "GLYPH_ABOUT"},
    };
    for (const auto& picture : pictures) {
        Binding* binding = Find(picture.button);
        HIMAGELIST list = binding ? ButtonImages(picture.resource) : nullptr;
        if (!list) continue;
        glyphs_.push_back(list);
        BUTTON_IMAGELIST images{};
        images.himl = list;
        images.margin = RECT{4, 0, 0, 0};
        images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
        SendMessageA(binding->hwnd, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    }
}

}  // namespace tavo::win32
