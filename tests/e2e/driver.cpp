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
//   load-error FOLDER BAD              Add a file that is no picture: the "Error" box, dismissed
//   persist-save FOLDER A B            Add A and B, select row 2, tick "Zoom to fit" and "Start with
//                                      Windows", then Ctrl+X (Exit)
//   persist-restore FOLDER PREVIEW.bmp A B   a new start shows A and B, row 2 selected and previewed,
//                                      both boxes ticked; untick "Start with Windows", then the close box
//   many-files FOLDER NAME             makes 2,000 files that fill the dialog's result buffer and 2,000 one
//                                      character over it: the first are all added (timed), the others
//                                      nothing; then Add NAME
//   focus-after-error FOLDER BAD.bmp BAD.jpg   Add both: after each error box the main window is active
//                                      with the focus on the list (Down, then Shift+F10 opens the menu)
//   half-visible-row FOLDER            14 rows: a click on the partly shown row below the last whole one
//                                      selects it and scrolls the list by one row
//   demo FOLDER NAME...                Add the pictures, select the first of them, press F9 (make run)
//   tray-start                         only the tray icon is left after the start: the splash was shown
//                                      and is hidden, no window or taskbar button (prints "tray HWND");
//                                      then Close on the application window ends it
//   tray-clicks                        left and right clicks show the window, Hide hides it, a middle
//                                      click does nothing, a double-click shows it once
//   taskbar-created                    the shell's "TaskbarCreated" broadcast (prints "tray HWND")
//   end-session                        WM_QUERYENDSESSION to every window, then WM_ENDSESSION
//   two-copies                         two copies, two icons; each ends by Close on its taskbar button
//   bench-tray EXE                     start-up times and memory in the tray (bench/tray.sh)
//   exit                               Ctrl+X: the program ends
// The main window is opened as a user does, by a click on the tray icon.
// Every check prints "ok   ..." or "FAIL ...: why"; the last line is "driver: PASS" or "driver: FAIL",
// and the exit code is 0 exactly when every check passed.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 50;
constexpr char kMainCaption[] = "Tavo Wallpaper 2";
constexpr char kDialogTitle[] = "Looking for backgrounds";
constexpr char kBannerTag[] = "ALPHA 4";

DWORD gTimeoutMs = 15000;
int gFailures = 0;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool Check(bool ok, const std::string& what, const std::string& why = std::string()) {
    if (ok) {
        Say("ok   " + what);
    } else {
        Say("FAIL " + what + (why.empty() ? std::string() : ": " + why));
        ++gFailures;
    }
    return ok;
}

// Polls a condition every 50 ms until it holds or the time is up; never sleeps longer than one poll.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = gTimeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPollMs);
    }
}

std::string Quote(const std::string& s) {
    return "\"" + s + "\"";
}

std::string WindowText(HWND hwnd) {
    // WM_GETTEXT is copied across processes by the system; a file name box may hold a long list of names.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::vector<char> buffer(length + 1, '\0');
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 5000, &result))
        return std::string();
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND FindDescendant(HWND parent, const char* className, const char* text) {
    for (HWND child : Descendants(parent)) {
        if (className && _stricmp(ClassOf(child).c_str(), className) != 0) continue;
        if (text && WindowText(child) != text) continue;
        return child;
    }
    return nullptr;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// Memory inside the program's process, for the list view and status bar messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, size_t size) : size_(size) {
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(owner));
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return address_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }
    bool Write(size_t offset, const void* data, size_t n) const {
        SIZE_T done = 0;
        return offset + n <= size_ && WriteProcessMemory(process_, At(offset), data, n, &done) && done == n;
    }
    bool Read(size_t offset, void* data, size_t n) const {
        SIZE_T done = 0;
        return offset + n <= size_ && ReadProcessMemory(process_, At(offset), data, n, &done) && done == n;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

// ---- the main window and its controls ----

struct Row {
    std::string name, path;
};

struct MainWindow {
    HWND hwnd = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
    HWND edit = nullptr;
    HWND upDown = nullptr;
};

// The main window: the top-level window with the program's caption that holds the list (the application's
// own window carries the same title). VISIBLE: only a shown one.
HWND FindMainHwnd(bool visible = true) {
    for (HWND hwnd : TopLevelWindows()) {
        if ((visible && !IsWindowVisible(hwnd)) || WindowText(hwnd) != kMainCaption) continue;
        if (FindDescendant(hwnd, WC_LISTVIEWA, nullptr)) return hwnd;
    }
    return nullptr;
}

// ---- the notification area: the program's icon window, as the shell knows it ----

constexpr char kTrayClass[] = "TavoWallpaperTray";
constexpr char kAppClass[] = "TavoWallpaperApp";
constexpr char kSplashClass[] = "TavoWallpaperSplash";
// The message the program asked the shell to send its icon window.
constexpr UINT kTrayCallback = 0xB054;

// The top-level windows of one class; of one process when PID is not 0.
std::vector<HWND> WindowsOfClass(const char* className, DWORD pid = 0) {
    std::vector<HWND> found;
    for (HWND hwnd : TopLevelWindows())
        if (ClassOf(hwnd) == className && (!pid || ProcessOf(hwnd) == pid)) found.push_back(hwnd);
    return found;
}

// The icon window of a running copy (the first one found), waited for up to 30 s.
HWND FindTray(DWORD pid = 0) {
    HWND tray = nullptr;
    WaitFor(
        [&] {
            const std::vector<HWND> found = WindowsOfClass(kTrayClass, pid);
            tray = found.empty() ? nullptr : found.front();
            return tray != nullptr;
        },
        30000);
    return tray;
}

std::string HandleText(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return text;
}

// The shell's callbacks for one mouse message each, handled when this returns.
void TrayMouse(HWND tray, std::initializer_list<UINT> mouseMessages) {
    for (UINT mouse : mouseMessages)
        Send(tray, kTrayCallback, 0, mouse);
}

// The visible window buttons of Wine's taskbar (its Start button aside).
int TaskbarButtons() {
    int buttons = 0;
    for (HWND bar : WindowsOfClass("Shell_TrayWnd"))
        for (HWND child : Descendants(bar))
            if (IsWindowVisible(child) && ClassOf(child) == "Button") ++buttons;
    return buttons > 0 ? buttons - 1 : 0;
}

// Opens the main window as a user does: a left click on the tray icon, again after a second when the
// program was still starting (a click that arrives before the icon's handler is bound does nothing).
bool FindMain(MainWindow& w) {
    if (!FindMainHwnd()) {
        HWND tray = FindTray();
        if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return false;
        WaitFor(
            [&] {
                if (FindMainHwnd()) return true;
                TrayMouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP});
                return WaitFor([] { return FindMainHwnd() != nullptr; }, 1000);
            },
            30000);
    }
    if (!WaitFor([&] { return (w.hwnd = FindMainHwnd()) != nullptr; }, 30000)) {
        Check(false, "main window " + Quote(kMainCaption) + " shown",
              FindMainHwnd(false) ? "it exists but stays hidden" : "not found within 30 s");
        return false;
    }
    w.list = FindDescendant(w.hwnd, WC_LISTVIEWA, nullptr);
    w.status = FindDescendant(w.hwnd, STATUSCLASSNAMEA, nullptr);
    w.upDown = FindDescendant(w.hwnd, UPDOWN_CLASSA, nullptr);
    if (w.upDown) w.edit = reinterpret_cast<HWND>(Send(w.upDown, UDM_GETBUDDY, 0, 0));
    if (!w.edit) w.edit = FindDescendant(w.hwnd, "Edit", nullptr);
    return Check(w.list && w.status && w.edit,
                 "main window found with its list, status bar and delay edit box");
}

std::vector<Row> ReadRows(HWND list) {
    std::vector<Row> rows;
    const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    constexpr size_t kText = 2048;
    RemoteBuffer remote(list, sizeof(LVITEMA) + kText);
    if (!remote.Valid()) return rows;
    for (int i = 0; i < count; ++i) {
        std::string cells[2];
        for (int sub = 0; sub < 2; ++sub) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.iSubItem = sub;
            item.pszText = remote.At(sizeof(LVITEMA));
            item.cchTextMax = kText;
            const char zero = 0;
            remote.Write(sizeof(LVITEMA), &zero, 1);
            remote.Write(0, &item, sizeof item);
            Send(list, LVM_GETITEMTEXTA, i, remote.Param());
            char text[kText] = {};
            remote.Read(sizeof(LVITEMA), text, kText - 1);
            cells[sub] = text;
        }
        rows.push_back({cells[0], cells[1]});
    }
    // The empty list is one empty entry row.
    if (rows.size() == 1 && rows[0].name.empty() && rows[0].path.empty()) rows.clear();
    return rows;
}

int SelectedRow(HWND list) {
    return static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// A long list by its first and last rows and its length.
std::string Describe(const std::vector<Row>& rows) {
    std::string s = "[";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows.size() > 6 && i == 3) {
            s += ", ... " + std::to_string(rows.size()) + " rows";
            i = rows.size() - 2;
        }
        s += (i ? ", " : "") + Quote(rows[i].name) + "=" + Quote(rows[i].path);
    }
    return s + "]";
}

std::string StatusText(HWND status) {
    RemoteBuffer remote(status, 4096);
    if (!remote.Valid()) return std::string();
    const bool simple = Send(status, SB_ISSIMPLE, 0, 0) != 0;
    for (WPARAM part : {static_cast<WPARAM>(simple ? SB_SIMPLEID : 0), static_cast<WPARAM>(0)}) {
        const char zero = 0;
        remote.Write(0, &zero, 1);
        Send(status, SB_GETTEXTA, part, remote.Param());
        char text[4096] = {};
        remote.Read(0, text, sizeof text - 1);
        if (text[0]) return text;
    }
    return WindowText(status);
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// ---- input, as a user gives it: the real mouse and keyboard of the desktop ----

bool BringToFront(HWND hwnd) {
    return WaitFor(
        [&] {
            if (GetForegroundWindow() == hwnd) return true;
            SetForegroundWindow(hwnd);
            return false;
        },
        5000);
}

// One mouse event at a screen point, in the absolute coordinates SendInput takes (0..65535 over the screen).
void MouseEvent(int x, int y, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(INPUT));
}

void ClickAt(int x, int y) {
    MouseEvent(x, y, 0);
    MouseEvent(x, y, MOUSEEVENTF_LEFTDOWN);
    MouseEvent(x, y, MOUSEEVENTF_LEFTUP);
}

void ClickCentre(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Presses the left button at one point, moves in steps to the other and releases it there; the pauses let
// the window's sizing loop see each step.
void Drag(int x0, int y0, int x1, int y1) {
    MouseEvent(x0, y0, 0);
    Sleep(100);
    MouseEvent(x0, y0, MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        MouseEvent(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, 0);
        Sleep(30);
    }
    MouseEvent(x1, y1, MOUSEEVENTF_LEFTUP);
    Sleep(100);
}

// A key pressed and released, with MODIFIER (VK_CONTROL, VK_SHIFT) held around it.
void PressKey(WORD vk, WORD modifier = 0) {
    std::vector<INPUT> keys;
    auto add = [&](WORD key, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (key == VK_DELETE || key == VK_INSERT) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        keys.push_back(in);
    };
    if (modifier) add(modifier, false);
    add(vk, false);
    add(vk, true);
    if (modifier) add(modifier, true);
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

HWND FocusOf(HWND hwnd) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// Gives a control the keyboard focus with a mouse click, as a user would.
bool FocusByClick(HWND main, HWND control) {
    BringToFront(main);
    return WaitFor(
        [&] {
            if (FocusOf(main) == control) return true;
            ClickCentre(control);
            return WaitFor([&] { return FocusOf(main) == control; }, 500);
        },
        5000);
}

// ---- the file-open dialog ----

HWND FindOwnedDialog(DWORD pid, const char* title, const std::function<bool(HWND)>& accept = nullptr) {
    for (HWND hwnd : TopLevelWindows()) {
        if (!IsWindowVisible(hwnd) || ProcessOf(hwnd) != pid || ClassOf(hwnd) != "#32770") continue;
        if ((!title || WindowText(hwnd) == title) && (!accept || accept(hwnd))) return hwnd;
    }
    return nullptr;
}

std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xffff);
    return text ? WindowText(text) : std::string();
}

// The file name box: the edit inside the combo box cmb13 (a ComboBoxEx32 under Wine), else the edit edt1.
HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47c)) {
        if (_stricmp(ClassOf(combo).c_str(), "Edit") == 0) return combo;
        return FindDescendant(combo, "Edit", nullptr);
    }
    return GetDlgItem(dialog, 0x480);
}

// A dialog's push button by its command id (the Explorer-style dialog has a toolbar with the id 1 too).
HWND DialogButton(HWND dialog, int id) {
    for (HWND child : Descendants(dialog)) {
        if (GetParent(child) == dialog && GetDlgCtrlID(child) == id &&
            _stricmp(ClassOf(child).c_str(), "Button") == 0)
            return child;
    }
    return nullptr;
}

void PressDialogButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(DialogButton(dialog, id)));
}

bool AnswerFileDialog(const MainWindow& w, const std::string& opener, const std::string& folder,
                      const std::vector<std::string>& names);

// Presses a main-window button and answers the dialog it opens with NAMES from FOLDER.
bool ChooseFiles(const MainWindow& w, const char* buttonCaption, const std::string& folder,
                 const std::vector<std::string>& names) {
    HWND button = FindDescendant(w.hwnd, nullptr, buttonCaption);
    if (!Check(button != nullptr, std::string("button ") + Quote(buttonCaption) + " found")) return false;
    // Posted: the dialog is modal and must not hold the driver.
    PostMessageA(button, BM_CLICK, 0, 0);
    return AnswerFileDialog(w, buttonCaption, folder, names);
}

// Answers the open-file dialog that OPENER (a button or a key) opened with NAMES from FOLDER.
bool AnswerFileDialog(const MainWindow& w, const std::string& opener, const std::string& folder,
                      const std::vector<std::string>& names) {
    HWND dialog = nullptr;
    const DWORD pid = ProcessOf(w.hwnd);
    // The dialog's own message boxes carry its title too: the dialog is the one with a file name box.
    auto isFileDialog = [](HWND hwnd) { return FileNameBox(hwnd) != nullptr; };
    auto isComplaint = [](HWND hwnd) { return FileNameBox(hwnd) == nullptr; };
    if (!Check(
            WaitFor([&] { return (dialog = FindOwnedDialog(pid, kDialogTitle, isFileDialog)) != nullptr; }),
            opener + " opens the dialog " + Quote(kDialogTitle)))
        return false;
    HWND box = nullptr;
    // Ready once its folder view is there; text typed before that may be overwritten by its start-up.
    if (!Check(WaitFor([&] {
                   return (box = FileNameBox(dialog)) != nullptr &&
                          FindDescendant(dialog, "SHELLDLL_DefView", nullptr) != nullptr;
               }),
               "dialog shows its folder view and file name box"))
        return false;

    // Types a text into the file name box and presses Open, until DONE holds (three tries).
    auto typeAndOpen = [&](const std::string& text, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            // A slow dialog may have done it after all on the try before.
            if (attempt > 0 && done()) return true;
            SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            if (WindowText(box) != text) continue;
            PressDialogButton(dialog, IDOK);
            HWND complaint = nullptr;
            if (WaitFor(
                    [&] { return done() || (complaint = FindOwnedDialog(pid, kDialogTitle, isComplaint)); },
                    attempt == 2 ? gTimeoutMs : 3000)) {
                if (!complaint) return true;
                Check(false, "dialog takes " + text, "it says " + Quote(MessageBoxText(complaint)));
                PressDialogButton(complaint, IDOK);
                return false;
            }
        }
        return false;
    };
    std::string text;
    if (names.size() == 1) {
        text = folder + "\\" + names[0];
    } else {
        // Into the folder first: the dialog empties the box when it changes folder; when it was there
        // already, its folder view lists the names.
        std::string shown;
        auto inFolder = [&] {
            if (!IsWindow(dialog)) return false;
            if (WindowText(box).empty()) return true;
            HWND view =
                FindDescendant(FindDescendant(dialog, "SHELLDLL_DefView", nullptr), WC_LISTVIEWA, nullptr);
            shown.clear();
            for (const Row& row : view ? ReadRows(view) : std::vector<Row>())
                shown += " " + Quote(row.name);
            for (const std::string& name : names) {
                const std::string stem = name.substr(0, name.rfind('.'));
                if (shown.find(Quote(name)) == std::string::npos &&
                    shown.find(Quote(stem)) == std::string::npos)
                    return false;
            }
            return true;
        };
        if (!Check(typeAndOpen(folder, inFolder), "dialog changes to the folder " + Quote(folder),
                   "the box holds " + Quote(WindowText(box)) + ", the view shows" + shown))
            return false;
        for (const std::string& name : names)
            text += (text.empty() ? "" : " ") + Quote(name);
    }
    const std::string what = names.size() <= 5 ? text : std::to_string(names.size()) + " names";
    return Check(typeAndOpen(text, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }),
                 "dialog accepts " + what + " and closes");
}

std::vector<Row> ExpectedRows(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<Row> rows;
    for (const std::string& name : names)
        rows.push_back({name, folder + "\\" + name});
    return rows;
}

bool SameRows(const std::vector<Row>& a, const std::vector<Row>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        // The folder's letter case is Wine's; compare without it.
        if (_stricmp(a[i].name.c_str(), b[i].name.c_str()) != 0 ||
            _stricmp(a[i].path.c_str(), b[i].path.c_str()) != 0)
            return false;
    }
    return true;
}

bool CheckRows(const MainWindow& w, const std::vector<Row>& expected, const std::string& what) {
    std::vector<Row> rows;
    const bool ok = WaitFor([&] { return SameRows(rows = ReadRows(w.list), expected); }, 5000);
    return Check(ok, what + ": rows " + Describe(expected), "the list shows " + Describe(rows));
}

bool WaitBanner(const MainWindow& w, const std::string& what) {
    std::string text;
    const bool ok = WaitFor([&] { return EndsWith(text = StatusText(w.status), kBannerTag); });
    return Check(ok, what + ": status line shows the banner", "it shows " + Quote(text));
}

bool SelectRow(const MainWindow& w, int index) {
    RemoteBuffer remote(w.list, sizeof(RECT));
    RECT r = {};
    r.left = LVIR_LABEL;
    remote.Write(0, &r, sizeof r);
    Send(w.list, LVM_GETITEMRECT, index, remote.Param());
    remote.Read(0, &r, sizeof r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(w.list, &p);
    BringToFront(w.hwnd);
    ClickAt(p.x, p.y);
    int selected = -1;
    return Check(WaitFor([&] { return (selected = SelectedRow(w.list)) == index; }, 5000),
                 "a click selects row " + std::to_string(index + 1),
                 "row " + std::to_string(selected + 1) + " is selected");
}

// ---- the preview panel ----

HWND FindPreviewPanel(HWND main) {
    HWND best = nullptr;
    for (HWND child : Descendants(main)) {
        RECT r;
        GetClientRect(child, &r);
        if (r.right != 200 || r.bottom != 150) continue;
        if (WindowText(child) == "Panel1") return child;
        if (!best) best = child;
    }
    return best;
}

struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> data;  // top-down 0x00RRGGBB
    DWORD At(int x, int y) const { return data[static_cast<size_t>(y) * width + x] & 0xffffff; }
};

bool ReadBitmap(HBITMAP bitmap, Pixels& out) {
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info)) return false;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    out.data.assign(static_cast<size_t>(out.width) * out.height, 0);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    const int lines = GetDIBits(dc, bitmap, 0, out.height, out.data.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return lines == out.height;
}

bool LoadPicture(const std::string& path, Pixels& out) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    const bool ok = ReadBitmap(bitmap, out);
    DeleteObject(bitmap);
    return ok;
}

// What the screen shows of a window's client area.
bool CaptureClient(HWND hwnd, Pixels& out) {
    RECT r;
    GetClientRect(hwnd, &r);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    const bool ok = ReadBitmap(bitmap, out);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

void SavePicture(const Pixels& p, const std::string& path) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = p.width;
    info.biHeight = -p.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(p.data.size() * 4);
    file.bfType = 0x4d42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(p.data.data(), 1, bytes, f);
        std::fclose(f);
    }
}

// Counts the pixels of the centred picture that differ from the screen by more than a rounding step.
int PreviewMismatches(const Pixels& shown, const Pixels& expected) {
    const int left = (shown.width - expected.width) / 2, top = (shown.height - expected.height) / 2;
    int bad = 0;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= shown.width || sy >= shown.height) continue;
            const DWORD a = shown.At(sx, sy), b = expected.At(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)) >
                    2) {
                    ++bad;
                    break;
                }
            }
        }
    }
    return bad;
}

bool CheckPreview(const MainWindow& w, const std::string& expectedPath) {
    Pixels expected, shown;
    if (!Check(LoadPicture(expectedPath, expected), "expected miniature " + expectedPath + " loads"))
        return false;
    HWND panel = FindPreviewPanel(w.hwnd);
    if (!Check(panel != nullptr, "preview panel (200 x 150) found")) return false;
    BringToFront(w.hwnd);
    int bad = -1;
    // The program paints when it gets to it: wait until the screen shows the picture.
    const bool ok = WaitFor(
        [&] { return CaptureClient(panel, shown) && (bad = PreviewMismatches(shown, expected)) == 0; }, 5000);
    if (!ok && shown.width) SavePicture(shown, expectedPath + ".shown.bmp");
    return Check(
        ok,
        "preview shows the first picture (" + std::to_string(expected.width) + " x " +
            std::to_string(expected.height) + ", centred)",
        std::to_string(bad) + " pixels differ; the screen's copy is in " + expectedPath + ".shown.bmp");
}

// ---- the Windows directory's wallpaper file ----

std::string WallpaperFile() {
    char dir[1024] = {};
    const UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir, n) + "\\Tavo Wallpaper.bmp";
}

bool FileStamp(const std::string& path, ULONGLONG& stamp, ULONGLONG& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    stamp = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
            data.ftLastWriteTime.dwLowDateTime;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// ---- scenarios ----

bool NeedArgs(const std::vector<std::string>& args, size_t n, const char* usage) {
    if (args.size() >= n) return true;
    Check(false, "arguments", std::string("usage: ") + usage);
    return false;
}

void ScenarioInfo() {
    HDC dc = GetDC(nullptr);
    const int bpp = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    Say("screen " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
        std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " bpp " + std::to_string(bpp));
    Say("wallpaper " + WallpaperFile());
}

// F9 makes the selected entry the wallpaper: the file is written anew and the banner returns.
void SetWallpaperWithF9(MainWindow& w) {
    const std::string file = WallpaperFile();
    ULONGLONG stamp0 = 0, size0 = 0, stamp = 0, size = 0;
    const bool existed = FileStamp(file, stamp0, size0);
    BringToFront(w.hwnd);
    PressKey(VK_F9);
    Check(WaitFor(
              [&] { return FileStamp(file, stamp, size) && (!existed || stamp != stamp0 || size != size0); }),
          "F9 writes " + Quote(file));
    WaitBanner(w, "after F9");
    RECT r;
    GetWindowRect(w.hwnd, &r);
    Say("window " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
        std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

void ScenarioAddAndSet(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 4, "add-and-set FOLDER PREVIEW.bmp NAME NAME...")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    const std::vector<std::string> names(args.begin() + 2, args.end());
    if (!CheckRows(w, {}, "the list starts empty")) return;
    if (!ChooseFiles(w, "&Add", folder, names)) return;
    if (!CheckRows(w, ExpectedRows(folder, names), "Add appends in dialog order")) return;
    Check(SelectedRow(w.list) == 0, "row 1 stays selected", "row " + std::to_string(SelectedRow(w.list) + 1));
    WaitBanner(w, "after the preview");
    CheckPreview(w, args[1]);

    SetWallpaperWithF9(w);
}

void ScenarioRemoveMiddle(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 4, "remove-middle FOLDER A B C")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    const std::vector<std::string> names(args.begin() + 1, args.begin() + 4);
    if (!ChooseFiles(w, "&Add", folder, names)) return;
    if (!CheckRows(w, ExpectedRows(folder, names), "three pictures added")) return;
    WaitBanner(w, "after the preview");
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the second picture's preview");
    BringToFront(w.hwnd);
    PressKey(VK_DELETE);
    if (!CheckRows(w, ExpectedRows(folder, {names[0], names[2]}), "Del removes the middle entry")) return;
    Check(SelectedRow(w.list) == 1, "the selection stays at row 2, now the third picture",
          "row " + std::to_string(SelectedRow(w.list) + 1) + " is selected");
    WaitBanner(w, "after Remove");
}

void ScenarioOpenReplace(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 4, "open-replace FOLDER A B C")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    if (!ChooseFiles(w, "&Add", folder, {args[1], args[2]})) return;
    if (!CheckRows(w, ExpectedRows(folder, {args[1], args[2]}), "two pictures added")) return;
    WaitBanner(w, "after the preview");
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the second picture's preview");
    if (!ChooseFiles(w, "&Open", folder, {args[3]})) return;
    CheckRows(w, ExpectedRows(folder, {args[3]}), "Open replaces the list");
    Check(SelectedRow(w.list) == 0, "row 1 is selected after Open",
          "row " + std::to_string(SelectedRow(w.list) + 1));
    WaitBanner(w, "after Open");
}

void ScenarioDelInEdit(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 3, "del-in-edit FOLDER A B")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    if (!ChooseFiles(w, "&Add", folder, {args[1], args[2]})) return;
    if (!CheckRows(w, ExpectedRows(folder, {args[1], args[2]}), "two pictures added")) return;
    WaitBanner(w, "after the preview");
    const std::string before = WindowText(w.edit);
    if (!Check(FocusByClick(w.hwnd, w.edit), "a click puts the focus into the delay edit box")) return;
    // The caret before the text: a Del that reached the box would delete its first character.
    Send(w.edit, EM_SETSEL, 0, 0);
    PressKey(VK_DELETE);
    CheckRows(w, ExpectedRows(folder, {args[2]}), "Del in the delay edit box removes the selected entry");
    Check(WindowText(w.edit) == before, "the delay text stays " + Quote(before),
          "it is " + Quote(WindowText(w.edit)));
    // Ctrl+X typed there is the program's Exit, not the box's Cut.
    if (!Check(FocusOf(w.hwnd) == w.edit, "the focus is still in the delay edit box")) return;
    Send(w.edit, EM_SETSEL, 0, -1);
    PressKey('X', VK_CONTROL);
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "Ctrl+X typed in the delay edit box ends the program");
}

std::string SizeText(const RECT& r) {
    return std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top);
}

void ScenarioSizeLimits() {
    MainWindow w;
    if (!FindMain(w)) return;
    RECT start, r, list0, list1, status1, client;
    GetWindowRect(w.hwnd, &start);
    GetWindowRect(w.list, &list0);
    Check(start.right - start.left == 440 && start.bottom - start.top >= 440,
          "the window starts 440 wide, 440 high or more", "it is " + SizeText(start));
    auto resize = [&](int width, int height) {
        SetWindowPos(w.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(w.hwnd, &r);
    };
    resize(600, 300);
    Check(r.right - r.left == 440 && r.bottom - r.top == 440, "asked for 600 x 300 it becomes 440 x 440",
          "it is " + SizeText(r));
    resize(300, 600);
    Check(r.right - r.left == 440 && r.bottom - r.top == 600, "asked for 300 x 600 it becomes 440 x 600",
          "it is " + SizeText(r));
    GetWindowRect(w.list, &list1);
    GetWindowRect(w.status, &status1);
    GetClientRect(w.hwnd, &client);
    POINT bottom = {0, client.bottom};
    ClientToScreen(w.hwnd, &bottom);
    const int grown = (r.bottom - r.top) - (start.bottom - start.top);
    Check((list1.bottom - list1.top) - (list0.bottom - list0.top) == grown, "the list grows with the window",
          "it grew by " + std::to_string((list1.bottom - list1.top) - (list0.bottom - list0.top)) + " of " +
              std::to_string(grown));
    Check(status1.bottom == bottom.y, "the status bar stays at the bottom");

    // The frame, dragged with the mouse: the right edge does not move, the bottom edge does.
    resize(440, 440);
    BringToFront(w.hwnd);
    RECT dragged;
    auto dragEdge = [&](bool right, int by, int expectHeight, const std::string& what) {
        GetWindowRect(w.hwnd, &r);
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        if (right) {
            Drag(r.right - 2, midY, r.right - 2 + by, midY);
        } else {
            Drag(midX, r.bottom - 2, midX, r.bottom - 2 + by);
        }
        const bool ok = WaitFor(
            [&] {
                GetWindowRect(w.hwnd, &dragged);
                return dragged.right - dragged.left == 440 && dragged.bottom - dragged.top == expectHeight;
            },
            2000);
        Check(ok, what, "it is " + SizeText(dragged));
    };
    dragEdge(true, 120, 440, "dragging the right edge 120 pixels out keeps the window 440 x 440");
    dragEdge(false, 60, 500, "dragging the bottom edge 60 pixels down makes it 440 x 500");
    dragEdge(false, -200, 440, "dragging it 200 pixels up stops at 440 x 440");
}

void ScenarioLoadError(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 2, "load-error FOLDER BAD")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    if (!ChooseFiles(w, "&Add", folder, {args[1]})) return;
    const DWORD pid = ProcessOf(w.hwnd);
    HWND box = nullptr;
    if (!Check(WaitFor([&] { return (box = FindOwnedDialog(pid, "Error")) != nullptr; }),
               "the " + Quote("Error") + " box appears"))
        return;
    std::string message;
    for (HWND child : Descendants(box)) {
        if (_stricmp(ClassOf(child).c_str(), "Static") == 0 && !WindowText(child).empty())
            message = WindowText(child);
    }
    const std::string expected = "Error reading file: " + folder + "\\" + args[1];
    Check(_stricmp(message.c_str(), expected.c_str()) == 0, "it says " + Quote(expected),
          "it says " + Quote(message));
    Check(GetDlgItem(box, IDOK) != nullptr && WindowText(GetDlgItem(box, IDOK)) == "OK",
          "it has one OK button");
    PressDialogButton(box, IDOK);
    Check(WaitFor([&] { return !IsWindow(box); }), "the box is dismissed with OK");
    CheckRows(w, ExpectedRows(folder, {args[1]}), "the unreadable picture stays listed");
    WaitBanner(w, "after the failed preview");
}

// ---- many files: the dialog's result buffer and the time the list takes to grow ----

constexpr size_t kResultChars = 65519;  // the program's buffer for the names the dialog returns
constexpr size_t kManyFiles = 2000;

// One-pixel red bitmaps with these names in FOLDER, which is made when missing.
void MakeBitmaps(const std::string& folder, const std::vector<std::string>& names) {
    CreateDirectoryA(folder.c_str(), nullptr);
    BITMAPFILEHEADER file = {0x4d42, 58, 0, 0, 54};
    BITMAPINFOHEADER info = {sizeof info, 1, 1, 1, 24, BI_RGB, 4, 0, 0, 0, 0};
    BYTE bmp[58] = {};
    std::memcpy(bmp, &file, 14);
    std::memcpy(bmp + 14, &info, 40);
    bmp[56] = 0xff;  // blue, green, red: red
    for (const std::string& name : names) {
        const std::string path = folder + "\\" + name;
        HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (out != INVALID_HANDLE_VALUE) WriteFile(out, bmp, sizeof bmp, &written, nullptr);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    }
}

// COUNT names "pNNNN-xx...x.bmp", in order.
std::vector<std::string> Numbered(size_t count, const std::function<size_t(size_t)>& length) {
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) {
        const std::string stem = "p" + std::to_string(10000 + i).substr(1) + "-";
        names.push_back(stem + std::string(length(i) - stem.size() - 4, 'x') + ".bmp");
    }
    return names;
}

// Makes 2,000 bitmaps in FOLDER whose names, as the dialog returns them (the folder, each name, a NUL after
// each and a closing NUL), take exactly CHARS characters. The names, in order.
std::vector<std::string> MakeManyFiles(const std::string& folder, size_t chars) {
    const size_t room = chars - folder.size() - 2;  // the names with a NUL each
    const std::vector<std::string> names = Numbered(
        kManyFiles, [&](size_t i) { return room / kManyFiles + (i < room % kManyFiles ? 1 : 0) - 1; });
    MakeBitmaps(folder, names);
    return names;
}

// When the program's file dialog goes away: a thread finds the dialog, then looks every millisecond.
struct DialogEnd {
    DWORD pid = 0;
    DWORD tick = 0;
};

DWORD WINAPI WatchDialogEnd(void* param) {
    auto* end = static_cast<DialogEnd*>(param);
    HWND dialog = nullptr;
    auto isFileDialog = [](HWND hwnd) { return FileNameBox(hwnd) != nullptr; };
    if (!WaitFor([&] { return (dialog = FindOwnedDialog(end->pid, kDialogTitle, isFileDialog)) != nullptr; }))
        return 1;
    const DWORD start = GetTickCount();
    while (IsWindow(dialog) && IsWindowVisible(dialog)) {
        if (GetTickCount() - start > 10 * gTimeoutMs) return 1;
        Sleep(1);
    }
    end->tick = GetTickCount();
    return 0;
}

// Whether the program answers a message within the time: it has finished what it was doing.
bool Answers(const MainWindow& w, DWORD timeoutMs = gTimeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

// Names that fill the result buffer exactly are all added, and the time from the dialog's end to the list
// shown is reported; names one character over it add nothing.
void ScenarioManyFiles(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 2, "many-files FOLDER NAME")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string fit = args[0] + "\\fit", over = args[0] + "\\overfull";
    const std::vector<std::string> fitNames = MakeManyFiles(fit, kResultChars);
    const std::vector<std::string> overNames = MakeManyFiles(over, kResultChars + 1);
    DialogEnd end{ProcessOf(w.hwnd)};
    HANDLE watch = CreateThread(nullptr, 0, WatchDialogEnd, &end, 0, nullptr);
    const bool chosen = ChooseFiles(w, "&Add", fit, fitNames);
    if (watch) WaitForSingleObject(watch, INFINITE);  // it gives up by itself
    if (watch) CloseHandle(watch);
    if (!chosen || !Check(Answers(w, 600000), "the program answers after the dialog")) return;
    const DWORD shown = GetTickCount();
    const LRESULT count = Send(w.list, LVM_GETITEMCOUNT, 0, 0);
    if (end.tick)
        Say("time " + std::to_string(count) +
            " rows from the dialog's end to the list shown: " + std::to_string(shown - end.tick) + " ms");
    std::vector<Row> rows = ExpectedRows(fit, fitNames);
    CheckRows(w, rows, "names that fill the buffer exactly are all added");
    WaitBanner(w, "after the preview");

    if (!ChooseFiles(w, "&Add", over, overNames) || !Check(Answers(w, 600000), "the program answers")) return;
    CheckRows(w, rows, "names one character over the buffer add nothing");
    Check(SelectedRow(w.list) == 0, "row 1 stays selected", "row " + std::to_string(SelectedRow(w.list) + 1));
    // The next dialog works, and its one shorter name is not mixed with the longer one it opened with.
    if (!ChooseFiles(w, "&Add", args[0], {args[1]})) return;
    rows.push_back({args[1], args[0] + "\\" + args[1]});
    CheckRows(w, rows, "then one file is added");
}

// ---- the keyboard after an error box, and a half-visible row ----

// Waits for the box CAPTION whose text begins with TEXT, checks that the main window owns it and presses
// its OK; the main window is then active again, with the focus back on the list.
bool DismissBox(const MainWindow& w, const char* caption, const std::string& text) {
    HWND box = nullptr;
    if (!Check(WaitFor([&] { return (box = FindOwnedDialog(ProcessOf(w.hwnd), caption)) != nullptr; }),
               "the box " + Quote(caption) + " appears"))
        return false;
    const std::string says = MessageBoxText(box);
    Check(_strnicmp(says.c_str(), text.c_str(), text.size()) == 0, "it says " + Quote(text + "..."),
          "it says " + Quote(says));
    const HWND owner = GetWindow(box, GW_OWNER);
    Check(owner == w.hwnd || owner == GetWindow(w.hwnd, GW_OWNER), "the main window or its owner owns it");
    PressDialogButton(box, IDOK);
    return Check(
        WaitFor(
            [&] { return !IsWindow(box) && GetForegroundWindow() == w.hwnd && FocusOf(w.hwnd) == w.list; },
            5000),
        "after OK the main window is active with the focus on the list",
        "the active window is " + Quote(WindowText(GetForegroundWindow())) + ", the focus on a " +
            Quote(ClassOf(FocusOf(w.hwnd))));
}

// Both kinds of error box give the keyboard back at once: Down moves on from the first, Shift+F10 opens the
// context menu after the second.
void ScenarioFocusAfterError(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 3, "focus-after-error FOLDER BAD.bmp BAD.jpg")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    // The letter a runs Add and leaves the focus on the list.
    if (!Check(FocusByClick(w.hwnd, w.list), "a click puts the focus on the list")) return;
    PressKey('A');
    if (!AnswerFileDialog(w, "the letter a", args[0], {args[1], args[2]})) return;
    if (!DismissBox(w, "Error", "Error reading file: " + args[0] + "\\" + args[1])) return;
    PressKey(VK_DOWN);
    if (!DismissBox(w, kMainCaption, "JPEG error #")) return;
    Check(SelectedRow(w.list) == 1, "Down selected row 2", "row " + std::to_string(SelectedRow(w.list) + 1));
    PressKey(VK_F10, VK_SHIFT);
    HWND menu = nullptr;
    const DWORD pid = ProcessOf(w.hwnd);
    auto findMenu = [&] {
        for (HWND hwnd : TopLevelWindows())
            if (IsWindowVisible(hwnd) && ProcessOf(hwnd) == pid && ClassOf(hwnd) == "#32768")
                return menu = hwnd;
        return menu = nullptr;
    };
    if (!Check(WaitFor([&] { return findMenu() != nullptr; }, 5000), "Shift+F10 opens the context menu"))
        return;
    PressKey(VK_ESCAPE);
    Check(WaitFor([&] { return findMenu() == nullptr; }, 5000), "Esc closes it");
}

// A click on the half-visible row below the last whole one selects that row and scrolls it into full view.
void ScenarioHalfVisibleRow(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 1, "half-visible-row FOLDER")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0] + "\\rows";
    const std::vector<std::string> names = Numbered(14, [](size_t) { return 12; });
    MakeBitmaps(folder, names);
    if (!ChooseFiles(w, "&Add", folder, names) || !CheckRows(w, ExpectedRows(folder, names), "14 rows added"))
        return;
    WaitBanner(w, "after the preview");
    const int half = static_cast<int>(Send(w.list, LVM_GETCOUNTPERPAGE, 0, 0));
    RemoteBuffer remote(w.list, sizeof(RECT));
    auto rowRect = [&] {
        RECT r = {LVIR_BOUNDS, 0, 0, 0};
        remote.Write(0, &r, sizeof r);
        Send(w.list, LVM_GETITEMRECT, half, remote.Param());
        remote.Read(0, &r, sizeof r);
        return r;
    };
    RECT client, row = rowRect();
    GetClientRect(w.list, &client);
    const std::string name = "row " + std::to_string(half + 1);
    if (!Check(row.top < client.bottom && row.bottom > client.bottom, name + " is only partly visible"))
        return;
    POINT p = {row.left + 40, (row.top + client.bottom) / 2};
    ClientToScreen(w.list, &p);
    BringToFront(w.hwnd);
    // A hand's click: the pointer moves by a pixel while the button is down.
    MouseEvent(p.x, p.y, 0);
    MouseEvent(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
    MouseEvent(p.x, p.y + 1, 0);
    MouseEvent(p.x, p.y + 1, MOUSEEVENTF_LEFTUP);
    int selected = -1;
    // Once the program has caught up, the selection is still there.
    const bool ok = WaitFor([&] { return (selected = SelectedRow(w.list)) == half; }, 5000) && Answers(w) &&
                    (selected = SelectedRow(w.list)) == half;
    Check(ok, "the click selects " + name, "row " + std::to_string(selected + 1) + " is selected");
    const LRESULT top = Send(w.list, LVM_GETTOPINDEX, 0, 0);
    row = rowRect();
    Check(top == 1 && row.bottom <= client.bottom, "the list scrolls by one row and shows it whole",
          "row " + std::to_string(top + 1) + " is at the top");
    WaitBanner(w, "after its preview");
}

// The scripted demonstration of "make run": adds the pictures to whatever the list holds, selects the first
// of them and makes it the wallpaper.
void ScenarioDemo(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 2, "demo FOLDER NAME...")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    const std::vector<std::string> names(args.begin() + 1, args.end());
    const size_t before = ReadRows(w.list).size();
    if (!ChooseFiles(w, "&Add", folder, names)) return;
    std::vector<Row> rows;
    if (!Check(WaitFor([&] { return (rows = ReadRows(w.list)).size() == before + names.size(); }, 5000),
               "the pictures are listed", "the list shows " + Describe(rows)))
        return;
    WaitBanner(w, "after the preview");
    if (!SelectRow(w, static_cast<int>(before))) return;
    WaitBanner(w, "after the preview");
    SetWallpaperWithF9(w);
}

// ---- what is kept between runs ----

constexpr int kIdZoomToFit = 132;
constexpr int kIdStartWithWindows = 117;

HWND ControlById(HWND main, int id) {
    for (HWND hwnd : Descendants(main))
        if (GetDlgCtrlID(hwnd) == id) return hwnd;
    return nullptr;
}

bool IsTicked(HWND box) {
    return Send(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ClickBox(const MainWindow& w, int id, bool ticked, const std::string& what) {
    HWND box = ControlById(w.hwnd, id);
    if (!Check(box != nullptr, what + " found")) return false;
    BringToFront(w.hwnd);
    ClickCentre(box);
    return Check(WaitFor([&] { return IsTicked(box) == ticked; }, 5000),
                 what + (ticked ? " ticked" : " unticked") + " by a click");
}

void ScenarioPersistSave(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 3, "persist-save FOLDER A B")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    if (!ChooseFiles(w, "&Add", folder, {args[1], args[2]})) return;
    if (!CheckRows(w, ExpectedRows(folder, {args[1], args[2]}), "two pictures added")) return;
    WaitBanner(w, "after the preview");
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the preview");
    if (!ClickBox(w, kIdZoomToFit, true, "\"Zoom to fit\"")) return;
    WaitBanner(w, "after the option's preview");
    if (!ClickBox(w, kIdStartWithWindows, true, "\"Start with Windows\"")) return;
    BringToFront(w.hwnd);
    PressKey('X', VK_CONTROL);
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "Ctrl+X ends the program");
}

void ScenarioPersistRestore(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 4, "persist-restore FOLDER PREVIEW.bmp A B")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    CheckRows(w, ExpectedRows(folder, {args[2], args[3]}), "the stored list comes back");
    Check(SelectedRow(w.list) == 1, "the stored selection, row 2, comes back",
          "row " + std::to_string(SelectedRow(w.list) + 1));
    Check(IsTicked(ControlById(w.hwnd, kIdZoomToFit)), "\"Zoom to fit\" comes back ticked");
    Check(IsTicked(ControlById(w.hwnd, kIdStartWithWindows)), "\"Start with Windows\" shows the Run value");
    WaitBanner(w, "after the restore");
    CheckPreview(w, args[1]);
    if (!ClickBox(w, kIdStartWithWindows, false, "\"Start with Windows\"")) return;
    PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "the close box ends the program");
}

// ---- the program's lifetime: tray icon, splash, taskbar button, the ways it ends ----

std::string Join(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : ", ") + part;
    return joined;
}

// After the start only the tray icon is there: the splash was shown (it is centred, which the show does)
// and has been hidden by its first tick; no window and no taskbar button remain.
void ScenarioTrayStart() {
    HWND tray = FindTray();
    if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return;
    Say("tray " + HandleText(tray));
    const DWORD pid = ProcessOf(tray);
    HWND splash = nullptr;
    // The show centres the splash: hidden and centred, it has been shown and hidden again.
    const RECT centred{(GetSystemMetrics(SM_CXSCREEN) - 135) / 2, (GetSystemMetrics(SM_CYSCREEN) - 37) / 2,
                       (GetSystemMetrics(SM_CXSCREEN) - 135) / 2 + 135,
                       (GetSystemMetrics(SM_CYSCREEN) - 37) / 2 + 37};
    RECT r{};
    Check(WaitFor([&] {
              const std::vector<HWND> found = WindowsOfClass(kSplashClass, pid);
              splash = found.empty() ? nullptr : found.front();
              return splash && GetWindowRect(splash, &r) && EqualRect(&r, &centred) &&
                     !IsWindowVisible(splash);
          }),
          "the splash was shown, 135x37 and centred, and is hidden after its first timer tick",
          "it is " + SizeText(r) + " at " + std::to_string(r.left) + "," + std::to_string(r.top) +
              (splash && IsWindowVisible(splash) ? ", visible" : ""));
    std::vector<std::string> shown;
    for (HWND hwnd : TopLevelWindows())
        if (ProcessOf(hwnd) == pid && IsWindowVisible(hwnd)) shown.push_back(ClassOf(hwnd));
    Check(shown.empty(), "no window of the program is on the screen", Join(shown));
    Check(WaitFor([] { return TaskbarButtons() == 0; }), "no taskbar button",
          std::to_string(TaskbarButtons()) + " buttons");
    // Ended without ever showing its window: Close on the taskbar button's menu reaches the hidden
    // application window all the same.
    for (HWND app : WindowsOfClass(kAppClass, pid))
        PostMessageA(app, WM_CLOSE, 0, 0);
    Check(WaitFor([&] { return !IsWindow(tray); }), "Close on the application window ends the program");
}

// Left and right clicks show the window, in the same place after a Hide; a middle click does nothing; a
// double-click shows it once and leaves no click pending.
void ScenarioTrayClicks() {
    HWND tray = FindTray();
    if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    Check(WaitFor([] { return TaskbarButtons() == 1; }), "a taskbar button while the window is shown",
          std::to_string(TaskbarButtons()) + " buttons");
    RECT first{};
    GetWindowRect(w.hwnd, &first);
    HWND hide = FindDescendant(w.hwnd, "Button", "&Hide");
    auto hideWindow = [&](const std::string& what) {
        Send(hide, BM_CLICK, 0, 0);
        return Check(WaitFor([&] { return !IsWindowVisible(w.hwnd); }), what);
    };
    hideWindow("Hide hides the window");
    Check(WaitFor([] { return TaskbarButtons() == 0; }), "the taskbar button goes with it", [&] {
        std::vector<std::string> shown;
        for (HWND hwnd : TopLevelWindows())
            if (IsWindowVisible(hwnd)) shown.push_back(ClassOf(hwnd) + " " + Quote(WindowText(hwnd)));
        return std::to_string(TaskbarButtons()) + " buttons; visible: " + Join(shown);
    }());
    TrayMouse(tray, {WM_MBUTTONDOWN, WM_MBUTTONUP});
    Check(!IsWindowVisible(w.hwnd), "a middle click does nothing");
    TrayMouse(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP});
    RECT again{};
    GetWindowRect(w.hwnd, &again);
    Check(IsWindowVisible(w.hwnd) && EqualRect(&first, &again) != FALSE,
          "a right click shows it again, where it was",
          "it is " + SizeText(again) + ", was " + SizeText(first));
    hideWindow("Hide again");
    TrayMouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    Check(IsWindowVisible(w.hwnd), "a double-click shows it");
    hideWindow("Hide once more");
    TrayMouse(tray, {WM_LBUTTONUP});
    Check(!IsWindowVisible(w.hwnd), "the double-click left no click pending");
}

// The shell announces a new taskbar: the icon registers again (the shell's log shows it) and still works.
void ScenarioTaskbarCreated() {
    HWND tray = FindTray();
    if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return;
    Say("tray " + HandleText(tray));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                        5000, &result);
    MainWindow w;
    Check(FindMain(w), "the icon still shows the window after the broadcast");
}

// Windows asks every window whether the session may end, then ends it: the program ends at once.
void ScenarioEndSession() {
    MainWindow w;
    if (!FindMain(w)) return;
    const DWORD pid = ProcessOf(w.hwnd);
    std::vector<std::string> refused;
    for (HWND hwnd : TopLevelWindows()) {
        if (ProcessOf(hwnd) != pid) continue;
        DWORD_PTR agreed = 0;
        if (!SendMessageTimeoutA(hwnd, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &agreed) || !agreed)
            refused.push_back(ClassOf(hwnd));
    }
    Check(refused.empty(), "every window lets the session end", Join(refused));
    for (HWND app : WindowsOfClass(kAppClass, pid)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(app, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    }
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "the program ends with the session");
}

// Two copies started one after the other: two icons, and each window opens from its own icon. Both end
// by Close on their taskbar button's menu.
void ScenarioTwoCopies() {
    std::vector<HWND> trays;
    WaitFor([&] { return (trays = WindowsOfClass(kTrayClass)).size() >= 2; }, 30000);
    if (!Check(trays.size() == 2 && ProcessOf(trays[0]) != ProcessOf(trays[1]),
               "two copies, two icon windows", std::to_string(trays.size()) + " found"))
        return;
    for (HWND tray : trays) {
        Say("tray " + HandleText(tray));
        const DWORD pid = ProcessOf(tray);
        HWND main = nullptr;
        Check(WaitFor([&] {
                  main = FindMainHwnd();
                  if (main && ProcessOf(main) == pid) return true;
                  TrayMouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP});
                  return false;
              }),
              "each icon shows its own copy's window", [&] {
                  std::vector<std::string> shown;
                  for (HWND hwnd : TopLevelWindows())
                      if (IsWindowVisible(hwnd))
                          shown.push_back(ClassOf(hwnd) + "/" + std::to_string(ProcessOf(hwnd)));
                  return "visible: " + Join(shown) + "; pid " + std::to_string(pid);
              }());
        for (HWND app : WindowsOfClass(kAppClass, pid))
            PostMessageA(app, WM_CLOSE, 0, 0);
        Check(WaitFor([&] { return WindowsOfClass(kTrayClass, pid).empty(); }),
              "Close on the taskbar button's menu ends that copy");
    }
}

// ---- measurements (bench/tray.sh) ----

std::string MemoryText(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return "unknown";
    return "working set " + std::to_string(counters.WorkingSetSize / 1024) + " KiB";
}

// Starts EXE and reports, in milliseconds of the system's tick count, when it started and when its splash had
// been shown and hidden; then its memory in the tray, and again after its window was shown (restoring and
// previewing the stored selection) and hidden. The shell's log gives the icon's registration on the same
// clock.
void ScenarioBenchTray(const std::vector<std::string>& args) {
    if (!NeedArgs(args, 1, "bench-tray EXE")) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + args[0] + "\"";
    const DWORD started = GetTickCount();
    if (!Check(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process) != FALSE,
               "the program starts"))
        return;
    Say("started " + std::to_string(started));
    const DWORD pid = process.dwProcessId;
    HWND splash = nullptr;
    RECT r{};
    WaitFor(
        [&] {
            const std::vector<HWND> found = WindowsOfClass(kSplashClass, pid);
            splash = found.empty() ? nullptr : found.front();
            return splash && GetWindowRect(splash, &r) && r.left > 0 && !IsWindowVisible(splash);
        },
        30000);
    Say("splash-gone " + std::to_string(GetTickCount()));
    // Settled: idle, and a moment for the shell's and the system's own start-up work.
    WaitForInputIdle(process.hProcess, 10000);
    Sleep(2000);
    Say("memory-tray " + MemoryText(process.hProcess));
    MainWindow w;
    if (FindMain(w)) {
        WaitBanner(w, "after the preview");
        Send(FindDescendant(w.hwnd, "Button", "&Hide"), BM_CLICK, 0, 0);
        WaitFor([&] { return !IsWindowVisible(w.hwnd); });
        Sleep(2000);
        Say("memory-after " + MemoryText(process.hProcess));
    }
    for (HWND app : WindowsOfClass(kAppClass, pid))
        PostMessageA(app, WM_CLOSE, 0, 0);
    Check(WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0, "the program ends");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void ScenarioExit() {
    MainWindow w;
    if (!FindMain(w)) return;
    BringToFront(w.hwnd);
    PressKey('X', VK_CONTROL);
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "Ctrl+X ends the program");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavowall-e2e-driver SCENARIO ARGS...\n");
        return 64;
    }
    if (const char* t = std::getenv("TAVO_E2E_TIMEOUT_MS")) gTimeoutMs = static_cast<DWORD>(std::atoi(t));
    const std::string scenario = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (scenario == "info") {
        ScenarioInfo();
    } else if (scenario == "add-and-set") {
        ScenarioAddAndSet(args);
    } else if (scenario == "remove-middle") {
        ScenarioRemoveMiddle(args);
    } else if (scenario == "open-replace") {
        ScenarioOpenReplace(args);
    } else if (scenario == "del-in-edit") {
        ScenarioDelInEdit(args);
    } else if (scenario == "size-limits") {
        ScenarioSizeLimits();
    } else if (scenario == "load-error") {
        ScenarioLoadError(args);
    } else if (scenario == "persist-save") {
        ScenarioPersistSave(args);
    } else if (scenario == "persist-restore") {
        ScenarioPersistRestore(args);
    } else if (scenario == "many-files") {
        ScenarioManyFiles(args);
    } else if (scenario == "focus-after-error") {
        ScenarioFocusAfterError(args);
    } else if (scenario == "half-visible-row") {
        ScenarioHalfVisibleRow(args);
    } else if (scenario == "demo") {
        ScenarioDemo(args);
    } else if (scenario == "tray-start") {
        ScenarioTrayStart();
    } else if (scenario == "tray-clicks") {
        ScenarioTrayClicks();
    } else if (scenario == "taskbar-created") {
        ScenarioTaskbarCreated();
    } else if (scenario == "end-session") {
        ScenarioEndSession();
    } else if (scenario == "two-copies") {
        ScenarioTwoCopies();
    } else if (scenario == "bench-tray") {
        ScenarioBenchTray(args);
    } else if (scenario == "exit") {
        ScenarioExit();
    } else {
        Check(false, "scenario " + Quote(scenario), "unknown");
    }
    Say(gFailures ? "driver: FAIL" : "driver: PASS");
    return gFailures ? 1 : 0;
}
