// The test driver's helpers.
#include "driver_support.h"

namespace tavo::e2e {
DWORD gTimeoutMs = 30000;
int gFailures = 0;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool Check(bool ok, const std::string& what, const std::string& why) {
    if (ok) {
        Say("ok   " + what);
    } else {
        Say("FAIL " + what + (why.empty() ? std::string() : ": " + why));
        ++gFailures;
    }
    return ok;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
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
namespace {

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}
}  // namespace

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

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

HWND FindMainHwnd(bool visible) {
    for (HWND hwnd : TopLevelWindows()) {
        if ((visible && !IsWindowVisible(hwnd)) || WindowText(hwnd) != kMainCaption) continue;
        if (FindDescendant(hwnd, WC_LISTVIEWA, nullptr)) return hwnd;
    }
    return nullptr;
}

std::vector<HWND> WindowsOfClass(const char* className, DWORD pid) {
    std::vector<HWND> found;
    for (HWND hwnd : TopLevelWindows())
        if (ClassOf(hwnd) == className && (!pid || ProcessOf(hwnd) == pid)) found.push_back(hwnd);
    return found;
}

HWND FindTray(DWORD pid) {
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

void TrayMouse(HWND tray, std::initializer_list<UINT> mouseMessages) {
    for (UINT mouse : mouseMessages)
        Send(tray, kTrayCallback, 0, mouse);
}

int TaskbarButtons() {
    int buttons = 0;
    for (HWND bar : WindowsOfClass("Shell_TrayWnd"))
        for (HWND child : Descendants(bar))
            if (IsWindowVisible(child) && ClassOf(child) == "Button") ++buttons;
    return buttons > 0 ? buttons - 1 : 0;
}

void WaitUntilStarted(HWND window) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(window));
    if (!process) return;
    WaitForInputIdle(process, 10000);
    CloseHandle(process);
}

bool FindMain(MainWindow& w) {
    if (!FindMainHwnd()) {
        HWND tray = FindTray();
        if (!Check(tray != nullptr, "the program's tray icon window", "not found within 30 s")) return false;
        WaitUntilStarted(tray);
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

bool BringToFront(HWND hwnd) {
    return WaitFor([&] {
        if (GetForegroundWindow() == hwnd) return true;
        SetForegroundWindow(hwnd);
        return false;
    });
}

namespace {

INPUT MouseInput(const MouseStep& step) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(step.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(step.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = step.flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

}  // namespace

bool HoldsMouse(HWND hwnd) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) return false;
    return info.hwndCapture != nullptr || (info.flags & GUI_INMOVESIZE) != 0;
}

void MouseEvent(int x, int y, DWORD flags) {
    SendMouse({{x, y, flags}});
}

void SendMouse(std::initializer_list<MouseStep> steps) {
    std::vector<INPUT> inputs;
    for (const MouseStep& step : steps)
        inputs.push_back(MouseInput(step));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(int x, int y) {
    SendMouse({{x, y, 0}, {x, y, MOUSEEVENTF_LEFTDOWN}, {x, y, MOUSEEVENTF_LEFTUP}});
}

void ClickCentre(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool Drag(int x0, int y0, int x1, int y1) {
    HWND target = WindowFromPoint(POINT{x0, y0});
    if (!target) return false;
    SendMouse({{x0, y0, 0}, {x0, y0, MOUSEEVENTF_LEFTDOWN}});
    if (!WaitFor([&] { return HoldsMouse(target); })) {
        MouseEvent(x0, y0, MOUSEEVENTF_LEFTUP);
        return false;
    }
    // The window follows the pointer from here on, each step in its turn however late it comes to them.
    std::vector<INPUT> inputs;
    const int steps = 8;
    for (int i = 1; i <= steps; ++i)
        inputs.push_back(MouseInput({x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, 0}));
    inputs.push_back(MouseInput({x1, y1, MOUSEEVENTF_LEFTUP}));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return WaitFor([&] { return !HoldsMouse(target); });
}

void PressKey(WORD vk, WORD modifier) {
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

bool FocusByClick(HWND main, HWND control) {
    BringToFront(main);
    return WaitFor([&] {
        if (FocusOf(main) == control) return true;
        ClickCentre(control);
        // Longer than the double-click time: the next try is a click of its own.
        return WaitFor([&] { return FocusOf(main) == control; }, 1000);
    });
}

HWND FindOwnedDialog(DWORD pid, const char* title, const std::function<bool(HWND)>& accept) {
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

HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47c)) {
        if (_stricmp(ClassOf(combo).c_str(), "Edit") == 0) return combo;
        return FindDescendant(combo, "Edit", nullptr);
    }
    return GetDlgItem(dialog, 0x480);
}

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

bool ChooseFiles(const MainWindow& w, const char* buttonCaption, const std::string& folder,
                 const std::vector<std::string>& names) {
    HWND button = FindDescendant(w.hwnd, nullptr, buttonCaption);
    if (!Check(button != nullptr, std::string("button ") + Quote(buttonCaption) + " found")) return false;
    // Posted: the dialog is modal and must not hold the driver.
    PostMessageA(button, BM_CLICK, 0, 0);
    return AnswerFileDialog(w, buttonCaption, folder, names);
}

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
    const bool ok = WaitFor([&] { return SameRows(rows = ReadRows(w.list), expected); });
    return Check(ok, what + ": rows " + Describe(expected), "the list shows " + Describe(rows));
}

bool WaitBanner(const MainWindow& w, const std::string& what) {
    std::string text;
    const bool ok = WaitFor([&] { return EndsWith(text = StatusText(w.status), kBannerTag); });
    return Check(ok, what + ": status line shows the banner", "it shows " + Quote(text));
}

POINT RowPoint(const MainWindow& w, int index) {
    RemoteBuffer remote(w.list, sizeof(RECT));
    RECT r = {LVIR_LABEL, 0, 0, 0};
    remote.Write(0, &r, sizeof r);
    Send(w.list, LVM_GETITEMRECT, index, remote.Param());
    remote.Read(0, &r, sizeof r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(w.list, &p);
    return p;
}

bool SelectRow(const MainWindow& w, int index) {
    const POINT p = RowPoint(w, index);
    BringToFront(w.hwnd);
    ClickAt(p.x, p.y);
    int selected = -1;
    return Check(WaitFor([&] { return (selected = SelectedRow(w.list)) == index; }),
                 "a click selects row " + std::to_string(index + 1),
                 "row " + std::to_string(selected + 1) + " is selected");
}

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

bool CaptureClient(HWND hwnd, Pixels& out) {
    RECT r;
    GetClientRect(hwnd, &r);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    return DrawPixels(
        r.right, r.bottom,
        [&](HDC dc) {
            HDC screen = GetDC(nullptr);
            BitBlt(dc, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
            ReleaseDC(nullptr, screen);
        },
        out);
}

bool DrawPixels(int width, int height, const std::function<void(HDC)>& draw, Pixels& out) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
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
        [&] { return CaptureClient(panel, shown) && (bad = PreviewMismatches(shown, expected)) == 0; });
    if (!ok && shown.width) SavePicture(shown, expectedPath + ".shown.bmp");
    return Check(
        ok,
        "preview shows the first picture (" + std::to_string(expected.width) + " x " +
            std::to_string(expected.height) + ", centred)",
        std::to_string(bad) + " pixels differ; the screen's copy is in " + expectedPath + ".shown.bmp");
}

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

bool Answers(const MainWindow& w, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool NeedArgs(const std::vector<std::string>& args, size_t n, const char* usage) {
    if (args.size() >= n) return true;
    Check(false, "arguments", std::string("usage: ") + usage);
    return false;
}

bool StartProgram(const std::string& exe, PROCESS_INFORMATION& process, int show) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    process = {};
    std::string command = "\"" + exe + "\"";
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

void CheckEnds(PROCESS_INFORMATION& process, const std::string& what) {
    Check(WaitForSingleObject(process.hProcess, gTimeoutMs) == WAIT_OBJECT_0, what);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    Check(code == 0, "exit code 0", std::to_string(code));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

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
    // 64-bit Wine paints the new wallpaper over every window of its virtual desktop and leaves them so until
    // something redraws them, as a user's next click would: the screenshots taken next show the windows
    // again.
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        RedrawWindow(hwnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Answers(w);
    RECT r;
    GetWindowRect(w.hwnd, &r);
    Say("window " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
        std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

std::string SizeText(const RECT& r) {
    return std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top);
}

std::string Join(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : ", ") + part;
    return joined;
}

}  // namespace tavo::e2e
