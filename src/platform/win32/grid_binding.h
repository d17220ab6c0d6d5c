// The image list grid's binding: an owner-data list view that asks the StringGrid model for its cells.
#pragma once

#include <string>
#include <vector>

#include "framework/string_grid.h"
#include "platform/win32/bindings.h"

namespace tavo::win32 {

// The model decides the selection: the list view hands it the user's mouse, wheel and
// keys, and shows the model's rows, header texts and selected row.
class GridBinding : public ControlBinding {
public:
    GridBinding(StringGrid& model, int id) : ControlBinding(model, id), grid_(model) {}
    LRESULT OnNotify(NMHDR* header) override;
    // Page Up and Page Down move by the rows the grid shows now.
    void Placed() override;
    // Whether `hwnd` is the grid's header row.
    bool IsHeader(HWND hwnd) const;

protected:
    HWND MakeWindow() override;
    void SyncState() override;

private:
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void DrawCell(HDC dc, int item, int col);
    void DrawLines(HDC dc);
    LRESULT GridMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    int HitRow(LPARAM point) const;
    bool DragStarted(LPARAM point);
    void ShowSelectedRow();
    static LRESULT CALLBACK GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);

    StringGrid& grid_;
    OwnedImageList rowHeight_;
    std::vector<std::string> headerTexts_;
    int wheelDelta_ = 0;
    // Where the left button went down, and whether the pointer has moved far enough since to drag.
    LPARAM pressPoint_ = 0;
    bool dragging_ = false;
};

}  // namespace tavo::win32
