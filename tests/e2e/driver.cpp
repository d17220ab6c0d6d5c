// tavowall-e2e-driver: drives the real Tavo Wallpaper 2 window from outside, as a user would, and reports.
//
// usage: tavowall-e2e-driver.exe SCENARIO ARGS...   (run inside the same Wine desktop as the program)
//   info                               the screen size, its colour depth and the wallpaper file's name
//   add-and-set FOLDER PREVIEW.bmp A B Add A and B, check the rows and the preview, press F9 and wait
//                                      for "Tavo Wallpaper.bmp" to be written
//   remove-middle FOLDER A B C         Add A, B, C, select row 2, press Del: A and C stay, C selected
//   open-replace FOLDER A B C          Add A and B, then Open C: the list holds C alone
//   del-in-edit FOLDER A B             Add A and B, Del in the delay edit box: A goes, the text stays;
//                                      then Ctrl+X there ends the program
//   size-limits                        the window stays 440 wide and at least 440 high; taller works
//   layout FOLDER NAME                 on any frame and display scale: the client area 432 wide, no two
//                                      controls over each other, the banner whole; Add NAME, F9
//   load-error FOLDER BAD              Add a file that is no picture: the "Error" box, dismissed
//   persist-save FOLDER A B            Add A and B, select row 2, tick "Zoom to fit" and "Start with
//                                      Windows", then Ctrl+X (Exit)
//   persist-restore FOLDER PREVIEW.bmp A B   a new start shows A and B, row 2 selected and previewed,
//                                      both boxes ticked; untick "Start with Windows", then the close box
//   script-names FOLDER EXE PREVIEW.bmp A B C D   copies A..D under names in Cyrillic, Greek, Chinese and
//                                      with an emoji, adds them, selects row 2 and ends with Ctrl+X; a new
//                                      run of EXE restores them, and F9 sets row 2 (set "fill" first)
//   many-files FOLDER NAME             makes 2,000 files that fill the dialog's result buffer, 1,000 with
//                                      Cyrillic names that fill its characters and 2,000 one character over
//                                      it: the first are all added (timed), the next too, the others
//                                      nothing and the error box says so; then Add NAME
//   focus-after-error FOLDER BAD.bmp BAD.jpg   Add both: each error box has its owner and the stop icon
//                                      and disables the main window; after it the main window is active
//                                      with the focus on the list (Down, then Shift+F10 opens the menu)
//   half-visible-row FOLDER            14 rows: a click on the partly shown row below the last whole one
//                                      selects it and scrolls the list by one row; a press on the next one
//                                      and a 3-pixel drag select the row under the pointer, nothing more
//   keys-and-menu FOLDER A B C         the menu on the empty list (right button, Menu key) greys the entry
//                                      commands, and F9 and Del then do nothing until it opens on an
//                                      entry; the letter a adds A..C; Alt+S and s toggle "Shrink to fit"
//                                      from the edit box and the list; a double-click on the header row
//                                      applies row 2 (C after A's removal), which stays; Esc hides
//   demo FOLDER NAME...                Add the pictures, select the first of them, press F9 (make run)
//   tray-start                         only the tray icon is left after the start: the splash was shown
//                                      and is hidden, no window or taskbar button (prints "tray HWND");
//                                      then Close on the application window ends it
//   tray-clicks                        the first show centres the window on the screen of that moment;
//                                      left and right clicks show it, Hide hides it, a middle click does
//                                      nothing, a double-click shows it once; a stored "ShowCmd" of 2 shows
//                                      it minimized, of 3 maximized
//   taskbar-created                    the shell's "TaskbarCreated" broadcast (prints "tray HWND")
//   late-shell EXE                     started while the notification area refuses every call: the icon
//                                      is tried again and comes once the shell answers; a click on it
//                                      opens the window (prints "tray HWND")
//   end-session                        WM_QUERYENDSESSION to every window, then WM_ENDSESSION
//   two-copies                         two copies, two icons; each ends by Close on its taskbar button
//   minimized-start EXE                started minimized: no splash, a minimized taskbar button; restored
//                                      from it, the splash shows and stays, its label in a 33-pixel font,
//                                      until a click on it; the button's menu has no Move, Size or
//                                      Maximize; Close on the button ends it
//   bench-tray EXE                     start-up times and memory in the tray (bench/tray.sh)
//   exit                               Ctrl+X: the program ends
// The main window is opened as a user does, by a click on the tray icon.
// Every check prints "ok   ..." or "FAIL ...: why"; the last line is "driver: PASS" or "driver: FAIL",
// and the exit code is 0 exactly when every check passed.
// After windows.h, which it needs.
#include <cstdio>
#include <cstdlib>

#include "driver_support.h"
#include "scenarios.h"

namespace {

using namespace tavo::e2e;

using Scenario = void (*)(const tavo::e2e::Args&);

const std::pair<const char*, Scenario> kScenarios[] = {
    {"info", ScenarioInfo},
    {"add-and-set", ScenarioAddAndSet},
    {"remove-middle", ScenarioRemoveMiddle},
    {"open-replace", ScenarioOpenReplace},
    {"del-in-edit", ScenarioDelInEdit},
    {"size-limits", ScenarioSizeLimits},
    {"layout", ScenarioLayout},
    {"load-error", ScenarioLoadError},
    {"persist-save", ScenarioPersistSave},
    {"persist-restore", ScenarioPersistRestore},
    {"script-names", ScenarioScriptNames},
    {"many-files", ScenarioManyFiles},
    {"focus-after-error", ScenarioFocusAfterError},
    {"half-visible-row", ScenarioHalfVisibleRow},
    {"keys-and-menu", ScenarioKeysAndMenu},
    {"demo", ScenarioDemo},
    {"tray-start", ScenarioTrayStart},
    {"tray-clicks", ScenarioTrayClicks},
    {"taskbar-created", ScenarioTaskbarCreated},
    {"late-shell", ScenarioLateShell},
    {"end-session", ScenarioEndSession},
    {"two-copies", ScenarioTwoCopies},
    {"minimized-start", ScenarioMinimizedStart},
    {"bench-tray", ScenarioBenchTray},
    {"exit", ScenarioExit},
};

}  // namespace

int main(int argc, char** argv) {
    using namespace tavo::e2e;
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavowall-e2e-driver SCENARIO ARGS...\n");
        return 64;
    }
    if (const char* t = std::getenv("TAVO_E2E_TIMEOUT_MS")) gTimeoutMs = static_cast<DWORD>(std::atoi(t));
    const std::string name = argv[1];
    const Args args(argv + 2, argv + argc);
    bool known = false;
    for (const auto& [scenarioName, scenario] : kScenarios) {
        if (name != scenarioName) continue;
        scenario(args);
        known = true;
    }
    if (!known) Check(false, "scenario " + Quote(name), "unknown");
    Say(gFailures ? "driver: FAIL" : "driver: PASS");
    return gFailures ? 1 : 0;
}
