// The preview panel: a child window in the desktop colour showing the Image1 model's picture.
#pragma once

#include "framework/controls.h"
#include "framework/image.h"
#include "platform/win32/window.h"

namespace tavo::win32 {

class PreviewPanel : public Window {
public:
    PreviewPanel(const Panel& panel, const Image& image) : panel_(panel), image_(image) {}
    void Create(HWND parent, const RECT& place, HFONT font);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The caption first, centred, then the picture over it: the caption shows
    // wherever no picture covers it.
    void Paint(HDC dc, const RECT& area) override;

private:
    const Panel& panel_;
    const Image& image_;
    HFONT font_ = nullptr;
};

}  // namespace tavo::win32
