// The real main window: Win32 controls bound to the TForm1 model, laid out by their anchors.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "mainwin/wall_main.h"
#include "platform/win32/ports_win32.h"
#include "platform/win32/preview_panel.h"
#include "platform/win32/window.h"

namespace tavo::win32 {

// Control identifiers, stable so that a test driver may also find controls by them.
enum ControlId : int {
    kIdFilezGB = 100,
    kIdOpen = 101,
    kIdAdd = 102,
    kIdFilez = 103,
    kIdAutoGB = 110,
    kIdAutoEnabled = 111,
    kIdRandomized = 112,
    kIdLabel1 = 113,
    kIdEdit1 = 114,
    kIdDelayUD = 115,
    kIdLabel2 = 116,
    kIdAutoRun = 117,
    kIdPreviewGB = 120,
    kIdPanel1 = 121,
    kIdResamplingGB = 130,
    kIdResLarge = 131,
    kIdResSmall = 132,
    kIdPropRes = 133,
    kIdPixFormat = 140,
    kIdPixFormatItem0 = 141,  // one identifier per item, in order
    kIdButtonsGB = 150,
    kIdAbout = 151,
    kIdHide = 152,
    kIdStatus = 160,
    kIdMenuItem0 = 200,  // the context menu's items by their index
};

class MainWindow : public Window {
public:
    MainWindow(TForm1& form, CursorWin32& cursor);
    ~MainWindow() override;

    // Creates the window hidden and centred on the screen, with all its controls.
    void Create();
    // The message loop's look at a message before the focused control gets it:
    // menu shortcuts, access keys and the context menu. True when it was taken.
    bool PreTranslate(const MSG& msg);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate() override;
    void OnSize(int width, int height) override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(NMHDR* header) override;

private:
    enum class Kind { Group, Button, Check, Radio, Label, Edit, Spinner, Grid, Panel, Status };
    struct Binding {
        Control* model;
        Kind kind;
        int id;
        HWND hwnd = nullptr;
    };

    // main_window.cpp: creation, layout, model to window.
    void CreateControls();
    HWND CreateControl(Binding& binding);
    void CreateRadioItems(const Binding& group);
    void CreateHint();
    void LayOut();
    RECT PlaceOf(const Control& control) const;
    RECT RadioItemPlace(int index) const;
    void Sync(const Binding& binding);
    void SyncRadioItems();
    void ShowOrHide();
    Binding* Find(const Control* model);
    Binding* FindId(int id);
    HWND FirstFocusable() const;
    void RestoreFocus();

    // main_window_glyphs.cpp: the button pictures.
    void SetGlyphs();

    // main_window_grid.cpp: the image list grid as an owner-data list view.
    void CreateGrid(HWND grid);
    void SyncGrid();
    LRESULT OnGridNotify(NMHDR* header);
    LRESULT OnGridCustomDraw(NMLVCUSTOMDRAW* draw);
    void DrawGridCell(HDC dc, int item, int col);
    void DrawGridLines(HDC dc);
    LRESULT GridMessage(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    int GridHitRow(LPARAM point) const;
    void ShowSelectedRow();
    static LRESULT CALLBACK GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);

    // main_window_keys.cpp: shortcuts, access keys, context menu.
    bool TakeShortCut(WPARAM key);
    bool TakeAccessKey(char letter, bool alt);
    void RunAccessKey(Control& target);
    void OpenPopup();
    bool OwnsWindow(HWND hwnd) const;

    TForm1& form_;
    CursorWin32& cursor_;
    PreviewPanel panel_;
    std::vector<Binding> bindings_;
    std::vector<HWND> radioItems_;
    HWND grid_ = nullptr;
    HWND edit_ = nullptr;
    HWND status_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    HIMAGELIST gridRows_ = nullptr;
    std::vector<HIMAGELIST> glyphs_;
    OwnedFont font_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int wheelDelta_ = 0;
    int fontHeight_ = 16;
    std::vector<std::string> headerTexts_;
};

}  // namespace tavo::win32
