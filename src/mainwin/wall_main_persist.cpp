// What the main window keeps between runs: the settings store's configuration, the image list and the Run
// key.
#include <utility>

#include "mainwin/wall_main.h"
#include "persist/auto_run.h"
#include "persist/list_persistence.h"

namespace tavo {

void TForm1::BuildFormStorage() {
    FormStorage1.Active = true;
    FormStorage1.IniFileName = kSettingsKeyPath;
    FormStorage1.IniSection = "Main";
    FormStorage1.UseRegistry = true;
    FormStorage1.Options = fpState | fpPosition;
    FormStorage1.StoredProps = {
        "OpenDialog1.FileName", "OpenDialog1.InitialDir", "OpenDialog1.FilterIndex", "PropRes.Checked",
        "Randomized.Checked",   "ResLarge.Checked",       "ResSmall.Checked",        "Edit1.Text",
        "PixFormat.ItemIndex"};
    FormStorage1.handleException = ApplicationErrorBox();
}

void TForm1::NameComponents() {
    name = "Form1";
    const std::pair<Component*, const char*> components[] = {
        {&FilezGB, "FilezGB"},
        {&BitBtn4, "BitBtn4"},
        {&BitBtn1, "BitBtn1"},
        {&Filez, "Filez"},
        {&AutoGB, "AutoGB"},
        {&AutoEnabled, "AutoEnabled"},
        {&Randomized, "Randomized"},
        {&Label1, "Label1"},
        {&Edit1, "Edit1"},
        {&DelayUD, "DelayUD"},
        {&Label2, "Label2"},
        {&AutoRun, "AutoRun"},
        {&PreviewGB, "PreviewGB"},
        {&Panel1, "Panel1"},
        {&Image1, "Image1"},
        {&ResamplingGB, "ResamplingGB"},
        {&ResLarge, "ResLarge"},
        {&ResSmall, "ResSmall"},
        {&PropRes, "PropRes"},
        {&PixFormat, "PixFormat"},
        {&ButtonsGB, "ButtonsGB"},
        {&BitBtn2, "BitBtn2"},
        {&BitBtn3, "BitBtn3"},
        {&Status, "Status"},
        {&OpenDialog1, "OpenDialog1"},
        {&PopupMenu1, "PopupMenu1"},
        {&Hidewindow1, "Hidewindow1"},
        {&N3, "N3"},
        {&Setwallpaper1, "Setwallpaper1"},
        {&Removefromlist1, "Removefromlist1"},
        {&Add1, "Add1"},
        {&N2, "N2"},
        {&Exit1, "Exit1"},
        {&N1, "N1"},
        {&About1, "About1"},
        {&Timer1, "Timer1"},
        {&FormStorage1, "FormStorage1"},
        {&TrayIcon1, "TrayIcon1"},
    };
    for (const auto& [component, componentName] : components) {
        component->name = componentName;
        AddComponent(component);
    }
}

void TForm1::FormStorage1SavePlacement(Component*) {
    if (storedListUnreadable_ && !listEdited_) return;
    SaveImageList(*ports_.registry, FormStorage1.IniFileName, Filez);
}

// The selection comes last: its preview refresh sees the whole restored list. A
// selection that fails does so after the count was read.
void TForm1::FormStorage1RestorePlacement(Component*) {
    storedListUnreadable_ = false;
    storedListUnreadable_ =
        !RestoreImageList(*ports_.registry, FormStorage1.IniFileName, Filez, FileNameOfPath);
}

void TForm1::RefreshAutoRunCheck() {
    AutoRun.SetChecked(RunValueMatches(*ports_.registry, ExecutablePath(*ports_.module)));
}

void TForm1::RegisterAutoRun() {
    WriteRunValue(*ports_.registry, ExecutablePath(*ports_.module));
}

void TForm1::UnregisterAutoRun() {
    DeleteRunValue(*ports_.registry);
}

// Setting the box from the registry runs this handler again when the state
// changes; that nested run repeats the write or delete once and then agrees.
void TForm1::AutoRunClick(Component*) {
    if (AutoRun.Checked())
        RegisterAutoRun();
    else
        UnregisterAutoRun();
    RefreshAutoRunCheck();
}

}  // namespace tavo
