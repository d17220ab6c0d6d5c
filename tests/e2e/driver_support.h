// The test driver's helpers: checks and waits, the program's windows and controls, the mouse and keyboard
// as a user gives them, the file-open dialog, the preview's pixels and the tray icon's window.
#pragma once

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

namespace tavo::e2e {

constexpr DWORD kPollMs = 50;
constexpr char kMainCaption[] = "Tavo Wallpaper 2";
constexpr char kDialogTitle[] = "Looking for backgrounds";
constexpr char kBannerTag[] = "ALPHA 4";

extern DWORD gTimeoutMs;
extern int gFailures;

void Say(const std::string& line);

bool Check(bool ok, const std::string& what, const std::string& why = std::string());

// Polls a condition every 50 ms until it holds or the time is up; never sleeps longer than one poll.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = gTimeoutMs);

std::string Quote(const std::string& s);

std::string WindowText(HWND hwnd);

std::string ClassOf(HWND hwnd);

std::vector<HWND> Descendants(HWND parent);

std::vector<HWND> TopLevelWindows();

HWND FindDescendant(HWND parent, const char* className, const char* text);

DWORD ProcessOf(HWND hwnd);

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

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

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
HWND FindMainHwnd(bool visible = true);

// ---- the notification area: the program's icon window, as the shell knows it ----

constexpr char kTrayClass[] = "TavoWallpaperTray";
constexpr char kAppClass[] = "TavoWallpaperApp";
constexpr char kSplashClass[] = "TavoWallpaperSplash";
// The message the program asked the shell to send its icon window.
constexpr UINT kTrayCallback = 0xB054;

// The top-level windows of one class; of one process when PID is not 0.
std::vector<HWND> WindowsOfClass(const char* className, DWORD pid = 0);

// The icon window of a running copy (the first one found), waited for up to 30 s.
HWND FindTray(DWORD pid = 0);

std::string HandleText(HWND hwnd);

// The shell's callbacks for one mouse message each, handled when this returns.
void TrayMouse(HWND tray, std::initializer_list<UINT> mouseMessages);

// The visible window buttons of Wine's taskbar (its Start button aside).
int TaskbarButtons();

// Waits (10 s at most) until the program of that window has started: its message loop waits for input.
void WaitUntilStarted(HWND window);

// Opens the main window as a user does, once the program has started: a left click on the tray icon, again
// after a second when the first did not show it.
bool FindMain(MainWindow& w);

std::vector<Row> ReadRows(HWND list);

int SelectedRow(HWND list);

// A long list by its first and last rows and its length.
std::string Describe(const std::vector<Row>& rows);

std::string StatusText(HWND status);

bool EndsWith(const std::string& s, const std::string& tail);

// ---- input, as a user gives it: the real mouse and keyboard of the desktop ----

bool BringToFront(HWND hwnd);

// One mouse event at a screen point, in the absolute coordinates SendInput takes (0..65535 over the screen).
void MouseEvent(int x, int y, DWORD flags);

struct MouseStep {
    int x, y;
    DWORD flags;  // MOUSEEVENTF_LEFTDOWN, ...; each step moves the pointer to (x, y) first
};

// Mouse events given as one input: the program takes them in this order and nothing comes between them,
// however late it comes to them. Wine turns each pointer move it injects into the X pointer's move as well,
// and the program's own X events about the pointer (from before, or the echo of a move) reach its queue only
// when it reads them: events given one by one can have such a move land between a press and its release.
void SendMouse(std::initializer_list<MouseStep> steps);

// Whether a window of HWND's thread has the mouse captured (a button held on it) or that thread is in a move
// or size loop.
bool HoldsMouse(HWND hwnd);

// A left click at a screen point: the move there, the press and the release as one input.
void ClickAt(int x, int y);

void ClickCentre(HWND hwnd);

// Presses the left button at one point, moves in steps to the other and releases it there: the steps and the
// release once the window under the press has taken it (it captured the mouse or began its move or size
// loop). True once it has let the mouse go again.
bool Drag(int x0, int y0, int x1, int y1);

// A key pressed and released, with MODIFIER (VK_CONTROL, VK_SHIFT) held around it.
void PressKey(WORD vk, WORD modifier = 0);

HWND FocusOf(HWND hwnd);

// Gives a control the keyboard focus with a mouse click, as a user would.
bool FocusByClick(HWND main, HWND control);

// ---- the file-open dialog ----

HWND FindOwnedDialog(DWORD pid, const char* title, const std::function<bool(HWND)>& accept = nullptr);

std::string MessageBoxText(HWND box);

// The file name box: the edit inside the combo box cmb13 (a ComboBoxEx32 under Wine), else the edit edt1.
HWND FileNameBox(HWND dialog);

// A dialog's push button by its command id (the Explorer-style dialog has a toolbar with the id 1 too).
HWND DialogButton(HWND dialog, int id);

void PressDialogButton(HWND dialog, int id);

bool AnswerFileDialog(const MainWindow& w, const std::string& opener, const std::string& folder,
                      const std::vector<std::string>& names);

// Presses a main-window button and answers the dialog it opens with NAMES from FOLDER.
bool ChooseFiles(const MainWindow& w, const char* buttonCaption, const std::string& folder,
                 const std::vector<std::string>& names);

// Answers the open-file dialog that OPENER (a button or a key) opened with NAMES from FOLDER.
bool AnswerFileDialog(const MainWindow& w, const std::string& opener, const std::string& folder,
                      const std::vector<std::string>& names);

std::vector<Row> ExpectedRows(const std::string& folder, const std::vector<std::string>& names);

bool SameRows(const std::vector<Row>& a, const std::vector<Row>& b);

bool CheckRows(const MainWindow& w, const std::vector<Row>& expected, const std::string& what);

bool WaitBanner(const MainWindow& w, const std::string& what);

// The screen point in the middle of row INDEX (0 the first entry) of the list.
POINT RowPoint(const MainWindow& w, int index);

bool SelectRow(const MainWindow& w, int index);

// ---- the preview panel ----

HWND FindPreviewPanel(HWND main);

struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> data;  // top-down 0x00RRGGBB
    DWORD At(int x, int y) const { return data[static_cast<size_t>(y) * width + x] & 0xffffff; }
};

bool ReadBitmap(HBITMAP bitmap, Pixels& out);

bool LoadPicture(const std::string& path, Pixels& out);

// What the screen shows of a window's client area.
bool CaptureClient(HWND hwnd, Pixels& out);

// What DRAW paints into a screen-compatible bitmap of that size.
bool DrawPixels(int width, int height, const std::function<void(HDC)>& draw, Pixels& out);

void SavePicture(const Pixels& p, const std::string& path);

// Counts the pixels of the centred picture that differ from the screen by more than a rounding step.
int PreviewMismatches(const Pixels& shown, const Pixels& expected);

bool CheckPreview(const MainWindow& w, const std::string& expectedPath);

// ---- the Windows directory's wallpaper file ----

std::string WallpaperFile();

bool FileStamp(const std::string& path, ULONGLONG& stamp, ULONGLONG& size);

// ---- shared by the scenarios ----

// Whether a scenario has its N arguments; says its usage when not.
bool NeedArgs(const std::vector<std::string>& args, size_t n, const char* usage);

// F9 makes the selected entry the wallpaper: the file is written anew and the banner returns.
// Starts a copy of the program at EXE, with SHOW as the start-up show command when it is given; true when it
// started, its handles then in PROCESS (the caller closes them).
bool StartProgram(const std::string& exe, PROCESS_INFORMATION& process, int show = -1);

// Checks that the program StartProgram started ends (WHAT) with exit code 0, and closes its handles.
void CheckEnds(PROCESS_INFORMATION& process, const std::string& what);

void SetWallpaperWithF9(MainWindow& w);
// Whether the program answers a message within the time: it has finished what it was doing.
bool Answers(const MainWindow& w, DWORD timeoutMs = gTimeoutMs);

// "W x H" of a rectangle.
std::string SizeText(const RECT& r);

// The parts, separated by ", ".
std::string Join(const std::vector<std::string>& parts);

}  // namespace tavo::e2e
