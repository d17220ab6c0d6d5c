// The program's lifetime: the tray icon, the splash, the taskbar button and the ways the program ends; and
// the start-up measurements of bench/tray.sh.
#include <algorithm>
#include <utility>

#include "driver_support.h"
#include "scenarios.h"

namespace tavo::e2e {

// After the start only the tray icon is there: the splash was shown (it is centred, which the show does)
// and has been hidden by its first tick; no window and no taskbar button remain.
void ScenarioTrayStart(const Args&) {
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
    const auto shown = [pid] {
        std::vector<std::string> classes;
        for (HWND hwnd : TopLevelWindows())
            if (ProcessOf(hwnd) == pid && IsWindowVisible(hwnd)) classes.push_back(ClassOf(hwnd));
        return classes;
    };
    // Centred but not yet visible, the splash has its taskbar button already: the tick hides both.
    Check(WaitFor([&] {
              const std::vector<HWND> found = WindowsOfClass(kSplashClass, pid);
              splash = found.empty() ? nullptr : found.front();
              return splash && GetWindowRect(splash, &r) && EqualRect(&r, &centred) && shown().empty();
          }),
          "the splash was shown, 135x37 and centred, and is hidden after its first timer tick",
          "it is " + SizeText(r) + " at " + std::to_string(r.left) + "," + std::to_string(r.top) +
              (splash && IsWindowVisible(splash) ? ", visible" : ""));
    Check(shown().empty(), "no window of the program is on the screen", Join(shown()));
    Check(WaitFor([] { return TaskbarButtons() == 0; }), "no taskbar button",
          std::to_string(TaskbarButtons()) + " buttons");
    // Ended without ever showing its window: Close on the taskbar button's menu reaches the hidden
    // application window all the same.
    for (HWND app : WindowsOfClass(kAppClass, pid))
        PostMessageA(app, WM_CLOSE, 0, 0);
    Check(WaitFor([&] { return !IsWindow(tray); }), "Close on the application window ends the program");
}

// The screen takes this size for the rest of the session, as the programs see it.
bool SetScreen(int width, int height) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, 0) == DISP_CHANGE_SUCCESSFUL && WaitFor([&] {
               return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
           });
}

// The main window's stored "ShowCmd", as the settings store writes it.
void StoreShowCmd(const char* text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kelvara\\Ferlin2\\Main", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "ShowCmd", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
}

// The first show centres the window on the screen as it is then, not as it was at the start. Left and
// right clicks show the window, in the same place after a Hide; a middle click does nothing; a double-click
// shows it once and leaves no click pending. The stored state is the state the window is shown in.
void ScenarioTrayClicks(const Args&) {
    HWND tray = FindTray();
    if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return;
    WaitUntilStarted(tray);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const bool smaller = Check(SetScreen(800, 600), "the screen becomes 800 x 600 after the start");
    MainWindow w;
    const bool found = FindMain(w);
    RECT first{};
    GetWindowRect(w.hwnd, &first);
    if (smaller) {
        Check(SetScreen(screenWidth, screenHeight), "the screen has its size again");
        Check(first.left == (800 - (first.right - first.left)) / 2 &&
                  first.top == (600 - (first.bottom - first.top)) / 2,
              "the first show centres the window on the 800 x 600 screen",
              "it is " + SizeText(first) + " at " + std::to_string(first.left) + "," +
                  std::to_string(first.top));
    }
    if (!found) return;
    Check(WaitFor([] { return TaskbarButtons() == 1; }), "a taskbar button while the window is shown",
          std::to_string(TaskbarButtons()) + " buttons");
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
    Check(WaitFor([&] {
              return IsWindowVisible(w.hwnd) && GetWindowRect(w.hwnd, &again) && EqualRect(&first, &again);
          }),
          "a right click shows it again, where it was",
          "it is " + SizeText(again) + ", was " + SizeText(first));
    hideWindow("Hide again");
    TrayMouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    Check(WaitFor([&] { return IsWindowVisible(w.hwnd) != FALSE; }), "a double-click shows it");
    hideWindow("Hide once more");
    TrayMouse(tray, {WM_LBUTTONUP});
    Check(!IsWindowVisible(w.hwnd), "the double-click left no click pending");
    StoreShowCmd("2");
    TrayMouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    Check(WaitFor([&] { return IsWindowVisible(w.hwnd) && IsIconic(w.hwnd); }),
          "a stored ShowCmd 2 shows it minimized");
    // What the Hide button reports when clicked, which a minimized window cannot be.
    PostMessageA(w.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hide), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hide));
    Check(WaitFor([&] { return !IsWindowVisible(w.hwnd); }), "Hide hides the minimized window");
    StoreShowCmd("3");
    TrayMouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    Check(WaitFor([&] { return IsWindowVisible(w.hwnd) && IsZoomed(w.hwnd); }),
          "a stored ShowCmd 3 shows it maximized");
}

// The shell announces a new taskbar: the icon registers again (the shell's log shows it) and still works.
void ScenarioTaskbarCreated(const Args&) {
    HWND tray = FindTray();
    if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return;
    Say("tray " + HandleText(tray));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                        5000, &result);
    MainWindow w;
    Check(FindMain(w), "the icon still shows the window after the broadcast");
}

// A notification area that is not ready yet, as during log-on: a window of the shell's class ahead of the
// desktop's own (topmost, so the programs' Shell_NotifyIcon finds it first) that refuses every call. Its
// own thread answers; it records the calls until it is closed, when the desktop's shell takes over.
class RefusingShell {
public:
    RefusingShell() {
        InitializeCriticalSection(&lock_);
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        if (thread_) WaitForSingleObject(ready_, 10000);
    }
    ~RefusingShell() {
        Close();
        CloseHandle(ready_);
        DeleteCriticalSection(&lock_);
    }
    RefusingShell(const RefusingShell&) = delete;
    RefusingShell& operator=(const RefusingShell&) = delete;

    HWND Window() const { return window_; }
    void Close() {
        if (!thread_) return;
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        thread_ = nullptr;
        window_ = nullptr;
    }
    // The calls that came for FROM's icon, in order, as "add", "modify" and "delete".
    std::vector<std::string> CallsFor(HWND from) {
        std::vector<std::string> calls;
        EnterCriticalSection(&lock_);
        for (const auto& [window, message] : calls_)
            if (window == from)
                calls.push_back(message == NIM_ADD ? "add" : message == NIM_MODIFY ? "modify" : "delete");
        LeaveCriticalSection(&lock_);
        return calls;
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* shell = static_cast<RefusingShell*>(self);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        shell->window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(shell->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shell));
        SetEvent(shell->ready_);
        MSG msg;
        while (shell->window_ && GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        return 0;
    }
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* shell = reinterpret_cast<RefusingShell*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message == WM_COPYDATA && shell) {
            EnterCriticalSection(&shell->lock_);
            shell->calls_.emplace_back(reinterpret_cast<HWND>(wParam),
                                       reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData);
            LeaveCriticalSection(&shell->lock_);
            return FALSE;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    CRITICAL_SECTION lock_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
    std::vector<std::pair<HWND, ULONG_PTR>> calls_;
};

// The centre of the first icon's place in the desktop's notification area: the right end of its taskbar.
POINT FirstIconPlace() {
    POINT at{};
    for (HWND bar : WindowsOfClass("Shell_TrayWnd")) {
        RECT r{};
        GetClientRect(bar, &r);
        at = {r.right - (GetSystemMetrics(SM_CXSMICON) + 4) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &at);
    }
    return at;
}

// Started while the notification area refuses every call: the icon's add is tried again every 2 s, a modify
// first each time; once the desktop's shell answers, the icon is there (the shell's log shows its one add)
// and a click on it opens the main window. Close on the taskbar button ends the program.
void ScenarioLateShell(const Args& args) {
    if (!NeedArgs(args, 1, "late-shell EXE")) return;
    RefusingShell notReady;
    if (!Check(notReady.Window() &&
                   FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr) == notReady.Window(),
               "a notification area that refuses every call comes first"))
        return;
    PROCESS_INFORMATION process;
    if (!Check(StartProgram(args[0], process), "the program starts")) return;
    HWND tray = FindTray(process.dwProcessId);
    if (Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) {
        Say("tray " + HandleText(tray));
        // The first registration's delete goes before the icon's record is filled, for no window.
        const std::vector<std::string> expected{"add", "delete", "add", "modify", "add", "modify", "add"};
        std::vector<std::string> calls;
        Check(WaitFor([&] { return (calls = notReady.CallsFor(tray)).size() >= expected.size(); }, 30000) &&
                  std::equal(expected.begin(), expected.end(), calls.begin()),
              "refused at the start, the icon is tried again: a modify, then an add, each time", Join(calls));
        notReady.Close();
        // Only the icon the shell shows opens the window: a click on its place does nothing until then.
        Check(WaitFor(
                  [] {
                      const POINT at = FirstIconPlace();
                      ClickAt(at.x, at.y);
                      return WaitFor([] { return FindMainHwnd() != nullptr; }, 1000);
                  },
                  30000),
              "once the shell answers, a click on the icon in its notification area opens the main window");
    }
    for (HWND app : WindowsOfClass(kAppClass, process.dwProcessId))
        PostMessageA(app, WM_CLOSE, 0, 0);
    CheckEnds(process, "Close on the button ends the program");
}

// Windows asks every window whether the session may end, then ends it: the program ends at once.
void ScenarioEndSession(const Args&) {
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
void ScenarioTwoCopies(const Args&) {
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

LRESULT CALLBACK LabelHostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CTLCOLORSTATIC) return DefWindowProcA(hwnd, message, wParam, lParam);
    SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// "TavoWall" as a label of the splash's size and colours draws it in a bold, underlined FACE whose
// characters are 33 pixels high.
bool DrawSplashLabel(const char* face, Pixels& out) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = LabelHostProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TavoE2eLabelHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 135, 37, nullptr, nullptr,
                                wc.hInstance, nullptr);
    HWND label = CreateWindowExA(0, "STATIC", "TavoWall", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_CENTER, 0, 0,
                                 135, 37, host, nullptr, wc.hInstance, nullptr);
    HFONT font = CreateFontA(-33, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const bool ok = DrawPixels(
        135, 37,
        [label](HDC dc) {
            SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        },
        out);
    DestroyWindow(host);
    DeleteObject(font);
    return ok;
}

// The splash's label is drawn in a sans-serif face at a character height of 33 pixels, bold and
// underlined: "MS Sans Serif" is a bitmap font under Wine, so one of the scalable faces that stand in.
bool CheckSplashLabel(HWND splash) {
    Pixels shown, drawn;
    if (!Check(CaptureClient(splash, shown) && shown.width == 135 && shown.height == 37,
               "the splash shows 135 x 37 pixels"))
        return false;
    for (const char* face : {"Microsoft Sans Serif", "Arial", "Tahoma"})
        if (DrawSplashLabel(face, drawn) && drawn.data == shown.data)
            return Check(true, std::string("its label is drawn in ") + face + " of character height 33");
    return Check(false, "its label is drawn in a sans-serif face of character height 33",
                 "no stand-in face draws it so");
}

// The taskbar button's menu offers no Move, Size or Maximize: typed while it is open, their letters do
// nothing, and Minimize's then minimizes the application.
void CheckButtonMenu(HWND app) {
    const DWORD pid = ProcessOf(app);
    // Open: the menu's window is shown and the program's thread is in its menu loop.
    const auto menuOpen = [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(app, nullptr), &info) ||
            !(info.flags & GUI_INMENUMODE))
            return false;
        for (HWND hwnd : TopLevelWindows())
            if (ProcessOf(hwnd) == pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32768") return true;
        return false;
    };
    // The activation that follows the splash's hiding ends a menu opened before it: the menu key is given
    // again until the menu stays open once the program has answered.
    const DWORD start = GetTickCount();
    bool open = false;
    while (!open && GetTickCount() - start < gTimeoutMs) {
        PostMessageA(app, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        open = WaitFor(menuOpen, 10000) && Answers(MainWindow{app}) && menuOpen();
    }
    if (!Check(open, "the taskbar button's menu opens")) return;
    for (char letter : {'m', 's', 'x', 'n'})
        PostMessageA(app, WM_CHAR, static_cast<WPARAM>(letter), 0);
    if (Check(WaitFor([&] { return IsIconic(app) != FALSE; }),
              "of Move (m), Size (s), Maximize (x) and Minimize (n) only Minimize is in its menu"))
        return;
    PostMessageA(app, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(app, WM_KEYDOWN, VK_ESCAPE, 0);
}

// Started minimized (SW_SHOWMINNOACTIVE): no splash, a minimized taskbar button instead; restoring the
// application from that button shows the splash, which stays, its timer stopped at its first tick, until a
// click on its label hides it; the button's menu is checked; Close on the button ends the program.
void ScenarioMinimizedStart(const Args& args) {
    if (!NeedArgs(args, 1, "minimized-start EXE")) return;
    PROCESS_INFORMATION process;
    if (!Check(StartProgram(args[0], process, SW_SHOWMINNOACTIVE), "the program starts minimized")) return;
    const DWORD pid = process.dwProcessId;
    HWND tray = FindTray(pid);
    if (tray) WaitUntilStarted(tray);
    // The icon and the splash are made before the start minimizes the application: wait for that step.
    std::vector<HWND> apps, splashes;
    const bool minimized = WaitFor([&] {
        apps = WindowsOfClass(kAppClass, pid);
        splashes = WindowsOfClass(kSplashClass, pid);
        return apps.size() == 1 && splashes.size() == 1 && IsWindowVisible(apps.front()) &&
               IsIconic(apps.front());
    });
    if (Check(apps.size() == 1 && splashes.size() == 1, "the application window and the splash exist")) {
        HWND app = apps.front(), splash = splashes.front();
        Check(minimized && !IsWindowVisible(splash), "a minimized taskbar button and no splash",
              std::string(IsWindowVisible(app) ? "" : "no button, ") +
                  (IsIconic(app) ? "" : "not minimized, ") +
                  (IsWindowVisible(splash) ? "the splash shown" : "no splash"));
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(app, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
        Check(WaitFor([&] { return IsWindowVisible(splash) && !IsIconic(app); }),
              "restored from its button, the program shows the splash");
        Check(!WaitFor([&] { return !IsWindowVisible(splash); }, 500), "the splash stays");
        CheckSplashLabel(splash);
        ClickCentre(splash);
        Check(WaitFor([&] { return !IsWindowVisible(splash); }), "a click on its label hides it");
        CheckButtonMenu(app);
        PostMessageA(app, WM_CLOSE, 0, 0);
    }
    CheckEnds(process, "Close on the button ends the program");
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
void ScenarioBenchTray(const Args& args) {
    if (!NeedArgs(args, 1, "bench-tray EXE")) return;
    PROCESS_INFORMATION process;
    const DWORD started = GetTickCount();
    if (!Check(StartProgram(args[0], process), "the program starts")) return;
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

}  // namespace tavo::e2e
