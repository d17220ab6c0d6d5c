// The main window TForm1: the image list, the preview, the options, the commands and the status line.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "app/tray_shell.h"
#include "framework/app_ports.h"
#include "framework/component.h"
#include "framework/controls.h"
#include "framework/edit.h"
#include "framework/form.h"
#include "framework/image.h"
#include "framework/menu.h"
#include "framework/open_dialog.h"
#include "framework/ports.h"
#include "framework/program_module.h"
#include "framework/registry.h"
#include "framework/status_bar.h"
#include "framework/string_grid.h"
#include "framework/timer.h"
#include "framework/window_placement.h"
#include "imaging/prepare.h"
#include "persist/form_storage.h"

namespace tavo {

// The status line's resting text.
extern const char kBannerText[];
// The wallpaper file's name inside its folder.
extern const char kWallpaperFileName[];
// The per-user folder under the local application data that takes the wallpaper file where the
// Windows directory is virtualized.
extern const char kUserWallpaperFolderName[];

// The services the main window uses. Every pointer must outlive the window.
struct MainWindowPorts {
    const Screen* screen = nullptr;
    Dialogs* dialogs = nullptr;
    Cursor* cursor = nullptr;
    FileDialogs* fileDialogs = nullptr;
    const SystemFolders* folders = nullptr;
    // Optional: without it the wallpaper file goes into the Windows directory.
    const ProcessToken* token = nullptr;
    Wallpaper* wallpaper = nullptr;
    AppLifetime* lifetime = nullptr;
    // Required: the settings store and the Run key work on these.
    Registry* registry = nullptr;
    WindowPlacementPort* placement = nullptr;
    const ProgramModule* module = nullptr;
    // Required: the notification area the tray icon lives in.
    TrayShell* trayShell = nullptr;
};

// The settings key under HKEY_CURRENT_USER.
extern const char kSettingsKeyPath[];

// The name an entry shows: the part of its path after the last "\" or ":", the
// whole path when it has neither.
std::string FileNameOfPath(const std::string& path);

class TForm1 : public Form {
private:
    MainWindowPorts ports_;  // first: the dialog model below is built from it

public:
    // Builds the window hidden with every control's default and wiring (the tray icon
    // registers meanwhile), then runs FormCreate.
    explicit TForm1(const MainWindowPorts& ports);

    // Handlers, bound as the window's wiring lists them.
    void FormCreate(Component* sender);
    void FormClose(Component* sender);
    void BitBtn4Click(Component* sender);
    void BitBtn1Click(Component* sender);
    void Removefromlist1Click(Component* sender);
    void FilezClick(Component* sender);
    void ResLargeClick(Component* sender);
    void Setwallpaper1Click(Component* sender);
    void PopupMenu1Popup(Component* sender);
    void Edit1Change(Component* sender);
    void BitBtn3Click(Component* sender);
    void BitBtn2Click(Component* sender);
    void Exit1Click(Component* sender);
    void AutoRunClick(Component* sender);
    void FormStorage1SavePlacement(Component* sender);
    void FormStorage1RestorePlacement(Component* sender);
    void TrayIcon1Click(Component* sender, MouseButton button, ShiftState shift, int x, int y);

    // Start with Windows: the check box shows whether the Run key holds this
    // executable's path; the click writes or deletes it and reads it back.
    void RefreshAutoRunCheck();
    void RegisterAutoRun();
    void UnregisterAutoRun();

    // The path cell of the selected row; empty when no entry is selected.
    std::string SelectedPath() const;
    // The control that takes access key `letter` (any case): the first enabled one in
    // the window's asking order whose caption marks it, a group box before its own
    // controls; nullptr when none does. The binding then focuses a group's first
    // control, presses a button, or focuses and toggles a check box.
    Control* AccessKeyTarget(char letter);

    // "Tavo Wallpaper.bmp" in the Windows directory, the separator always inserted; in the per-user
    // folder instead where the system would virtualize this process's writes to the Windows directory.
    std::string WallpaperFileName() const;

    GroupBox FilezGB;
    Button BitBtn4;
    Button BitBtn1;
    StringGrid Filez;
    GroupBox AutoGB;
    CheckBox AutoEnabled;
    CheckBox Randomized;
    Label Label1;
    Edit Edit1;
    UpDown DelayUD;
    Label Label2;
    CheckBox AutoRun;
    GroupBox PreviewGB;
    Panel Panel1;
    Image Image1;
    GroupBox ResamplingGB;
    CheckBox ResLarge;
    CheckBox ResSmall;
    CheckBox PropRes;
    RadioGroup PixFormat;
    GroupBox ButtonsGB;
    Button BitBtn2;
    Button BitBtn3;
    StatusBar Status;

    OpenDialog OpenDialog1;
    PopupMenu PopupMenu1;
    MenuItem Hidewindow1;
    MenuItem N3;
    MenuItem Setwallpaper1;
    MenuItem Removefromlist1;
    MenuItem Add1;
    MenuItem N2;
    MenuItem Exit1;
    MenuItem N1;
    MenuItem About1;
    Timer Timer1;
    TFormStorage FormStorage1;
    TTrayIcon TrayIcon1;

    // The path whose preparation the preview last ran, loaded or not.
    std::string LastPreviewPath;

private:
    // Set until FormCreate has run: the window is still being made.
    bool creating_ = true;
    // The application's error box for the components' failures; none without an application (the
    // failure then propagates).
    std::function<void(const std::exception&)> ApplicationErrorBox() const;
    // "<local application data>\Tavo Wallpaper 2" when the process is virtualized and the system
    // names that folder; empty otherwise, also when the question fails.
    std::string UserWallpaperFolder() const;
    // The wallpaper file in `userFolder`, or in the Windows directory when that is empty.
    std::string WallpaperFileIn(const std::string& userFolder) const;
    void SetStatus(const std::string& text);
    void SetCursor(CursorShape shape);
    PrepareContext MakePrepareContext();
    // Appends as many of `paths` as the list takes; returns how many it refused.
    size_t AppendPaths(const std::vector<std::string>& paths);
    // The user has added, opened or removed an entry in this run.
    bool listEdited_ = false;
    // The last restore found a stored list it could not read: until the user edits
    // the list, it is not saved over the stored one.
    bool storedListUnreadable_ = false;

    void LayOutFiles();
    void LayOutAutoChange();
    void LayOutPreview();
    void LayOutOptions();
    void LayOutButtons();
    void BuildOpenDialog();
    void BuildPopupMenu();
    void BuildFormStorage();
    void BuildTrayIcon();
    void NameComponents();
    void Wire();
};

}  // namespace tavo
