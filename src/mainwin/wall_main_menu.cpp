// The context menu: its items in display order and their enabling when it opens.
#include "mainwin/wall_main.h"

namespace tavo {

namespace {

void SetItem(MenuItem& item, const char* caption, const char* shortCut) {
    item.caption = caption;
    item.shortCut = shortCut;
}

}  // namespace

void TForm1::BuildPopupMenu() {
    SetItem(Hidewindow1, "&Hide window", "Esc");
    SetItem(N3, "-", "");
    SetItem(Setwallpaper1, "&Set as wallpaper", "F9");
    SetItem(Removefromlist1, "&Remove from list", "Del");
    SetItem(Add1, "&Add files", "Ins");
    SetItem(N2, "-", "");
    SetItem(Exit1, "&Exit", "Ctrl+X");
    SetItem(N1, "-", "");
    SetItem(About1, "&About...", "F1");
    PopupMenu1.items = {&Hidewindow1, &N3, &Setwallpaper1, &Removefromlist1, &Add1, &N2,
                        &Exit1,       &N1, &About1};
}

// The enabling is computed only here: a shortcut pressed later acts by the state
// of the last opening.
void TForm1::PopupMenu1Popup(Component*) {
    const bool selected = !SelectedPath().empty();
    Setwallpaper1.enabled = selected;
    Removefromlist1.enabled = selected;
    Add1.enabled = selected;
}

}  // namespace tavo
