// The main window's construction: controls, their defaults and wiring, and the window-level commands.
#include "mainwin/wall_main.h"

namespace tavo {

const char kBannerText[] = "Tavo Wallpaper 2 - ALPHA 4";
const char kWallpaperFileName[] = "Tavo Wallpaper.bmp";
const char kUserWallpaperFolderName[] = "Tavo Wallpaper 2";
const char kSettingsKeyPath[] = "Software\\Kelvara\\Ferlin2";

TForm1::TForm1(const MainWindowPorts& ports)
    : ports_(ports),
      OpenDialog1(ports.fileDialogs),
      FormStorage1(*this, *ports.registry, *ports.placement),
      TrayIcon1(*ports.trayShell) {
    caption = "Tavo Wallpaper 2";
    borderStyle = FormBorderStyle::Sizeable;
    clientWidth = 432;
    clientHeight = 413;
    // Exactly as wide as designed and at least as high: with a 4-pixel frame and a 19-pixel caption an
    // outer width of exactly 440 and a height of at least 440.
    clientLimits = SizeLimits{432, 432, 413, 0};
    LayOutFiles();
    LayOutAutoChange();
    LayOutPreview();
    LayOutOptions();
    LayOutButtons();
    BuildOpenDialog();
    BuildPopupMenu();
    BuildFormStorage();
    BuildTrayIcon();
    NameComponents();
    Wire();
    TrayIcon1.Loaded();
    FormStorage1.Loaded();
    FormCreate(this);
    creating_ = false;
}

void TForm1::LayOutFiles() {
    FilezGB.Place(nullptr, {0, 0, 217, 299}, kAnchorLeft | kAnchorTop | kAnchorBottom, 0);
    FilezGB.SetCaption("&Files");
    BitBtn4.Place(&FilezGB, {52, 16, 71, 29}, kAnchorLeft | kAnchorTop, 0);
    BitBtn4.SetCaption("&Open");
    BitBtn1.Place(&FilezGB, {132, 16, 75, 29}, kAnchorLeft | kAnchorTop, 1);
    BitBtn1.SetCaption("&Add");
    Filez.Place(&FilezGB, {2, 54, 213, 243}, kAnchorAll, 2);
    Filez.align = Align::Bottom;
    Filez.SetColCount(2);
    Filez.SetFixedRows(1);
    Filez.SetRowCount(2);
    Filez.colWidths = {104, 204};
    Filez.defaultRowHeight = 18;
}

void TForm1::LayOutAutoChange() {
    AutoGB.Place(nullptr, {0, 298, 217, 97}, kAnchorLeft | kAnchorBottom, 1);
    AutoGB.SetCaption("&Auto change");
    AutoEnabled.Place(&AutoGB, {12, 20, 97, 17}, kAnchorLeft | kAnchorTop, 0);
    AutoEnabled.SetCaption("&Enabled");
    AutoEnabled.SetEnabled(false);
    Randomized.Place(&AutoGB, {108, 20, 97, 17}, kAnchorLeft | kAnchorTop, 1);
    Randomized.SetCaption("&Randomize");
    Randomized.SetEnabled(false);
    Label1.Place(&AutoGB, {16, 48, 39, 16}, kAnchorLeft | kAnchorTop, -1);
    Label1.SetCaption("Delay:");
    Label1.rightAligned = true;
    Edit1.Place(&AutoGB, {60, 44, 41, 24}, kAnchorLeft | kAnchorTop, 2);
    Edit1.SetText("30");
    DelayUD.Place(&AutoGB, {101, 44, 16, 24}, kAnchorLeft | kAnchorTop, 3);
    DelayUD.SetAssociate(&Edit1);
    DelayUD.SetRange(1, 6000);
    DelayUD.SetPosition(30);
    Label2.Place(&AutoGB, {124, 48, 46, 16}, kAnchorLeft | kAnchorTop, -1);
    Label2.SetCaption("minutes");
    AutoRun.Place(&AutoGB, {12, 72, 177, 17}, kAnchorLeft | kAnchorTop, 4);
    AutoRun.SetCaption("&Start with Windows");
}

void TForm1::LayOutPreview() {
    PreviewGB.Place(nullptr, {220, 0, 213, 175}, kAnchorTop | kAnchorRight, 2);
    PreviewGB.SetCaption("&Preview");
    Panel1.Place(&PreviewGB, {6, 16, 200, 150}, kAnchorLeft | kAnchorTop, 0);
    Panel1.SetCaption("Panel1");
    Image1.Place(&Panel1, {0, 0, 200, 150}, kAnchorLeft | kAnchorTop, -1);
}

void TForm1::LayOutOptions() {
    ResamplingGB.Place(nullptr, {220, 176, 212, 93}, kAnchorTop | kAnchorRight, 3);
    ResamplingGB.SetCaption("&Resampling");
    ResLarge.Place(&ResamplingGB, {12, 20, 137, 17}, kAnchorLeft | kAnchorTop, 0);
    ResLarge.SetCaption("&Shrink to fit ");
    ResLarge.SetChecked(true);
    ResSmall.Place(&ResamplingGB, {12, 44, 149, 17}, kAnchorLeft | kAnchorTop, 1);
    ResSmall.SetCaption("&Zoom to fit ");
    ResSmall.hint = "Use this option if you have Win95 without Plus!";
    PropRes.Place(&ResamplingGB, {12, 68, 149, 17}, kAnchorLeft | kAnchorTop, 2);
    PropRes.SetCaption("&Proportional resize");
    PropRes.SetChecked(true);
    PixFormat.Place(nullptr, {220, 272, 212, 67}, kAnchorTop | kAnchorRight, 4);
    PixFormat.SetCaption("&Color depth");
    PixFormat.SetItems({"Don't change", "Always True Color (24 bit)"});
    PixFormat.SetItemIndex(0);
}

void TForm1::LayOutButtons() {
    ButtonsGB.Place(nullptr, {220, 340, 212, 55}, kAnchorAll, 5);
    BitBtn2.Place(&ButtonsGB, {8, 14, 101, 35}, kAnchorLeft | kAnchorTop | kAnchorBottom, 0);
    BitBtn2.SetCaption("&About....");
    BitBtn3.Place(&ButtonsGB, {112, 14, 93, 35}, kAnchorLeft | kAnchorTop | kAnchorBottom, 1);
    BitBtn3.SetCaption("&Hide");
    Status.Place(nullptr, {0, 394, 432, 19}, kAnchorLeft | kAnchorRight | kAnchorBottom, -1);
    Status.align = Align::Bottom;
}

void TForm1::BuildOpenDialog() {
    OpenDialog1.title = "Looking for backgrounds";
    OpenDialog1.filter = "Backgrounds (*.bmp, *.jpg)|*.bmp;*.jpg";
    OpenDialog1.filterIndex = 1;
    OpenDialog1.defaultExt = "bmp";
    OpenDialog1.options.allowMultiSelect = true;
    OpenDialog1.options.pathMustExist = true;
    OpenDialog1.options.fileMustExist = true;
    OpenDialog1.options.enableSizing = true;
    OpenDialog1.options.hideReadOnly = false;
    OpenDialog1.options.explorer = true;
    OpenDialog1.bufferChars = 65519;
}

// The handlers are bound after every default is in place, so that setting the
// defaults runs none of them.
void TForm1::Wire() {
    BitBtn4.onClick = [this](Component* s) { BitBtn4Click(s); };
    BitBtn1.onClick = [this](Component* s) { BitBtn1Click(s); };
    BitBtn3.onClick = [this](Component* s) { BitBtn3Click(s); };
    BitBtn2.onClick = [this](Component* s) { BitBtn2Click(s); };
    Filez.onClick = [this](Component* s) { FilezClick(s); };
    Filez.onDblClick = [this](Component* s) { Setwallpaper1Click(s); };
    const NotifyEvent optionChange = [this](Component* s) { ResLargeClick(s); };
    ResLarge.onClick = optionChange;
    ResSmall.onClick = optionChange;
    PropRes.onClick = optionChange;
    PixFormat.onClick = optionChange;
    Edit1.onChange = [this](Component* s) { Edit1Change(s); };
    PopupMenu1.onPopup = [this](Component* s) { PopupMenu1Popup(s); };
    Hidewindow1.onClick = [this](Component* s) { BitBtn3Click(s); };
    Setwallpaper1.onClick = [this](Component* s) { Setwallpaper1Click(s); };
    Removefromlist1.onClick = [this](Component* s) { Removefromlist1Click(s); };
    Add1.onClick = [this](Component* s) { BitBtn1Click(s); };
    Exit1.onClick = [this](Component* s) { Exit1Click(s); };
    About1.onClick = [this](Component* s) { BitBtn2Click(s); };
    AutoRun.onClick = [this](Component* s) { AutoRunClick(s); };
    FormStorage1.OnSavePlacement = [this](Component* s) { FormStorage1SavePlacement(s); };
    FormStorage1.OnRestorePlacement = [this](Component* s) { FormStorage1RestorePlacement(s); };
    TrayIcon1.OnClick = [this](Component* s, MouseButton b, ShiftState shift, int x, int y) {
        TrayIcon1Click(s, b, shift, x, y);
    };
    onClose = [this](Component* s) { FormClose(s); };
}

// The icon's picture is part of the design: loading it registers the icon.
void TForm1::BuildTrayIcon() {
    TrayIcon1.handleException = ApplicationErrorBox();
    TrayIcon1.SetIcon(ports_.trayShell->MainIcon());
}

// The only way to the window: shown (restored from the settings the first time
// and after every Hide), raised, and the application brought to the front. A click
// that the shell delivers while the window is still being made (its registration
// calls let the shell's messages in) is dropped: the settings store is not attached yet.
void TForm1::TrayIcon1Click(Component*, MouseButton, ShiftState, int, int) {
    if (creating_) return;
    Show();
    if (ports_.lifetime) ports_.lifetime->BringToFront();
}

void TForm1::FormCreate(Component*) {
    LastPreviewPath.clear();
    Filez.SetCell(1, 0, "Path");
    Filez.SetCell(0, 0, "Filename");
    RefreshAutoRunCheck();
    Status.SetSimpleText(kBannerText);
}

void TForm1::FormClose(Component*) {
    if (ports_.lifetime) ports_.lifetime->Terminate();
}

void TForm1::Exit1Click(Component*) {
    if (ports_.lifetime) ports_.lifetime->Terminate();
}

void TForm1::BitBtn3Click(Component*) {
    FormStorage1.SaveSettings();
    Hide();
}

// The delay only holds a number for the settings store; typing it changes nothing.
void TForm1::Edit1Change(Component*) {}

std::function<void(const std::exception&)> TForm1::ApplicationErrorBox() const {
    AppLifetime* lifetime = ports_.lifetime;
    if (!lifetime) return nullptr;
    return [lifetime](const std::exception& error) { lifetime->ShowException(error); };
}

void TForm1::SetStatus(const std::string& text) {
    Status.SetSimpleText(text);
}

void TForm1::SetCursor(CursorShape shape) {
    if (ports_.cursor) ports_.cursor->SetShape(shape);
}

PrepareContext TForm1::MakePrepareContext() {
    PrepareContext context;
    context.options.colourDepth = PixFormat.ItemIndex();
    context.options.shrink = ResLarge.Checked();
    context.options.zoom = ResSmall.Checked();
    context.options.proportional = PropRes.Checked();
    if (ports_.screen) {
        context.displayBits = ports_.screen->BitsPerPixel();
        context.screenWidth = ports_.screen->Width();
    }
    context.status = [this](const std::string& text) { SetStatus(text); };
    if (ports_.dialogs) {
        Dialogs* dialogs = ports_.dialogs;
        context.loadFailed = [dialogs](const std::string& message) {
            dialogs->ShowMessage(message, "Error", MessageIcon::Error);
        };
    }
    return context;
}

}  // namespace tavo
