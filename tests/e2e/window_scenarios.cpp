// The main window's scenarios: the list, the preview, the options, the keys, the errors and what is kept
// between runs.
#include <algorithm>
#include <iterator>

#include "driver_support.h"
#include "scenarios.h"

namespace tavo::e2e {

// Opens the window, adds the pictures and waits for the preview of the first: the start of several scenarios.
bool OpenAndAdd(MainWindow& w, const std::string& folder, const std::vector<std::string>& names) {
    if (!FindMain(w) || !ChooseFiles(w, "&Add", folder, names)) return false;
    if (!CheckRows(w, ExpectedRows(folder, names), std::to_string(names.size()) + " pictures added"))
        return false;
    WaitBanner(w, "after the preview");
    return true;
}

void ScenarioInfo(const Args&) {
    // The desktop's shell is up before the first program starts: its notification area logs the icons.
    Check(WaitFor([] { return !WindowsOfClass("Shell_TrayWnd").empty(); }), "the desktop's taskbar is there");
    HDC dc = GetDC(nullptr);
    const int bpp = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    Say("screen " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
        std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " bpp " + std::to_string(bpp));
    Say("wallpaper " + WallpaperFile());
}

void ScenarioAddAndSet(const Args& args) {
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

void ScenarioRemoveMiddle(const Args& args) {
    if (!NeedArgs(args, 4, "remove-middle FOLDER A B C")) return;
    MainWindow w;
    const std::string folder = args[0];
    if (!OpenAndAdd(w, folder, {args[1], args[2], args[3]})) return;
    const std::vector<std::string> names(args.begin() + 1, args.begin() + 4);
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the second picture's preview");
    BringToFront(w.hwnd);
    PressKey(VK_DELETE);
    if (!CheckRows(w, ExpectedRows(folder, {names[0], names[2]}), "Del removes the middle entry")) return;
    Check(SelectedRow(w.list) == 1, "the selection stays at row 2, now the third picture",
          "row " + std::to_string(SelectedRow(w.list) + 1) + " is selected");
    WaitBanner(w, "after Remove");
}

void ScenarioOpenReplace(const Args& args) {
    if (!NeedArgs(args, 4, "open-replace FOLDER A B C")) return;
    MainWindow w;
    const std::string folder = args[0];
    if (!OpenAndAdd(w, folder, {args[1], args[2]})) return;
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the second picture's preview");
    if (!ChooseFiles(w, "&Open", folder, {args[3]})) return;
    CheckRows(w, ExpectedRows(folder, {args[3]}), "Open replaces the list");
    Check(SelectedRow(w.list) == 0, "row 1 is selected after Open",
          "row " + std::to_string(SelectedRow(w.list) + 1));
    WaitBanner(w, "after Open");
}

void ScenarioDelInEdit(const Args& args) {
    if (!NeedArgs(args, 3, "del-in-edit FOLDER A B")) return;
    MainWindow w;
    const std::string folder = args[0];
    if (!OpenAndAdd(w, folder, {args[1], args[2]})) return;
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

void ScenarioSizeLimits(const Args&) {
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
    // Under load Wine may hand the sizing loop a stale pointer position last, and the edge stops short:
    // as a person would, the edge is dragged again, from where it is to the same place, up to three times.
    auto dragEdge = [&](bool right, int by, int expectHeight, const std::string& what) {
        GetWindowRect(w.hwnd, &r);
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        const int to = right ? r.right - 2 + by : r.bottom - 2 + by;
        bool ok = false;
        for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
            GetWindowRect(w.hwnd, &r);
            const bool released =
                right ? Drag(r.right - 2, midY, to, midY) : Drag(midX, r.bottom - 2, midX, to);
            if (!Check(released, what + ": the frame takes the drag")) return;
            ok = WaitFor(
                [&] {
                    GetWindowRect(w.hwnd, &dragged);
                    return dragged.right - dragged.left == 440 &&
                           dragged.bottom - dragged.top == expectHeight;
                },
                attempt < 2 ? 2000 : gTimeoutMs);
        }
        Check(ok, what, "it is " + SizeText(dragged));
    };
    dragEdge(true, 120, 440, "dragging the right edge 120 pixels out keeps the window 440 x 440");
    dragEdge(false, 60, 500, "dragging the bottom edge 60 pixels down makes it 440 x 500");
    dragEdge(false, -200, 440, "dragging it 200 pixels up stops at 440 x 440");
}

namespace {

// The controls of the main window with their rectangles in its client area.
struct Placed {
    HWND hwnd;
    RECT r;
    bool group;
};

std::string NameOf(HWND control) {
    const std::string text = WindowText(control);
    return text.empty() ? ClassOf(control) + " " + std::to_string(GetDlgCtrlID(control)) : Quote(text);
}

// Where two controls overlap more than by the one-pixel line that the design lets some of them share; a
// group box around a control is no overlap.
std::vector<std::string> Overlaps(HWND main) {
    std::vector<Placed> placed;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        const bool group = _stricmp(ClassOf(child).c_str(), "Button") == 0 &&
                           (GetWindowLongA(child, GWL_STYLE) & 0xF) == BS_GROUPBOX;
        placed.push_back({child, r, group});
    }
    RECT client;
    GetClientRect(main, &client);
    std::vector<std::string> found;
    auto contains = [](const RECT& outer, const RECT& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    for (size_t i = 0; i < placed.size(); ++i) {
        RECT inside;
        IntersectRect(&inside, &placed[i].r, &client);
        if (placed[i].r.right - inside.right > 1 || placed[i].r.bottom - inside.bottom > 1 ||
            inside.left - placed[i].r.left > 0 || inside.top - placed[i].r.top > 0)
            found.push_back(NameOf(placed[i].hwnd) + " leaves the client area");
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const Placed &a = placed[i], &b = placed[j];
            RECT both;
            if (!IntersectRect(&both, &a.r, &b.r) || both.right - both.left <= 1 ||
                both.bottom - both.top <= 1)
                continue;
            if ((a.group && contains(a.r, b.r)) || (b.group && contains(b.r, a.r))) continue;
            found.push_back(NameOf(a.hwnd) + " and " + NameOf(b.hwnd));
        }
    }
    return found;
}

// Whether the status line's text fits inside its borders and beside its size grip, in its own font.
bool StatusTextFits(HWND status, std::string& why) {
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HFONT>(Send(status, WM_GETFONT, 0, 0));
    if (!handle || !GetObjectA(handle, sizeof font, &font)) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = metrics.lfStatusFont;
    }
    int borders[3] = {};
    RemoteBuffer remote(status, sizeof borders);
    if (remote.Valid() && Send(status, SB_GETBORDERS, 0, remote.Param()))
        remote.Read(0, borders, sizeof borders);
    const std::string text = StatusText(status);
    HDC dc = GetDC(status);
    HFONT measured = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, measured);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    DeleteObject(measured);
    ReleaseDC(status, dc);
    RECT r;
    GetClientRect(status, &r);
    const int width = r.right - 2 * borders[0] - GetSystemMetrics(SM_CXVSCROLL);
    const int height = r.bottom - 2 * borders[1] - 2;
    why = Quote(text) + " is " + std::to_string(extent.cx) + " x " + std::to_string(extent.cy) +
          ", the room " + std::to_string(width) + " x " + std::to_string(height);
    return extent.cx <= width && extent.cy <= height;
}

}  // namespace

// On a desktop with any frame and display scale: the client area as designed, no two controls over each
// other, the status line whole; then the wallpaper, which must not depend on the scale.
void ScenarioLayout(const Args& args) {
    if (!NeedArgs(args, 2, "layout FOLDER NAME")) return;
    MainWindow w;
    if (!OpenAndAdd(w, args[0], {args[1]})) return;
    RECT client;
    GetClientRect(w.hwnd, &client);
    Check(client.right == 432 && client.bottom >= 413, "the client area is 432 wide and 413 high or more",
          "it is " + SizeText(client));
    const std::vector<std::string> overlaps = Overlaps(w.hwnd);
    Check(overlaps.empty(), "no two controls overlap", Join(overlaps));
    std::string why;
    Check(StatusTextFits(w.status, why), "the banner fits the status line", why);
    // Sized by hand to the smallest: the same holds.
    SetWindowPos(w.hwnd, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(w.hwnd, &client);
    Check(client.right == 432 && client.bottom >= 413 && Overlaps(w.hwnd).empty(),
          "at its smallest the client area is 432 wide, 413 high or more, with no overlaps",
          "it is " + SizeText(client));
    SetWallpaperWithF9(w);
}

void ScenarioLoadError(const Args& args) {
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

// COUNT names "pNNNN-xx...x.bmp" of LENGTH characters, in order; the x is FILLER, one character in UTF-8.
std::vector<std::string> Numbered(size_t count, const std::function<size_t(size_t)>& length,
                                  const std::string& filler = "x") {
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) {
        std::string name = "p" + std::to_string(10000 + i).substr(1) + "-";
        for (size_t n = length(i) - name.size() - 4; n > 0; --n)
            name += filler;
        names.push_back(name + ".bmp");
    }
    return names;
}

// Makes COUNT bitmaps in FOLDER (an ASCII path) whose names, as the dialog returns them (the folder, each
// name, a NUL after each and a closing NUL), take exactly CHARS characters. The names, in order.
std::vector<std::string> MakeManyFiles(const std::string& folder, size_t chars, size_t count = kManyFiles,
                                       const std::string& filler = "x") {
    const size_t room = chars - folder.size() - 2;  // the names with a NUL each
    const std::vector<std::string> names = Numbered(
        count, [&](size_t i) { return room / count + (i < room % count ? 1 : 0) - 1; }, filler);
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

// Names that fill the result buffer exactly are all added, and the time from the dialog's end to the list
// shown is reported; so are Cyrillic names that fill its characters in twice as many bytes; names one
// character over it add nothing, and the application's error box says why.
void ScenarioManyFiles(const Args& args) {
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

    const std::string cyrillic = args[0] + "\\cyrillic";
    const std::vector<std::string> cyrillicNames = MakeManyFiles(cyrillic, kResultChars, 1000, "\xD0\xB6");
    if (!ChooseFiles(w, "&Add", cyrillic, cyrillicNames) || !Check(Answers(w, 600000), "the program answers"))
        return;
    for (const Row& row : ExpectedRows(cyrillic, cyrillicNames))
        rows.push_back(row);
    CheckRows(w, rows, "Cyrillic names that fill the buffer's characters in twice the bytes are all added");

    if (!ChooseFiles(w, "&Add", over, overNames)) return;
    const std::string tooMany = "Too many files were selected at once; choose fewer files at a time.";
    HWND box = nullptr;
    if (!Check(WaitFor([&] { return (box = FindOwnedDialog(ProcessOf(w.hwnd), kMainCaption)) != nullptr; }),
               "the application's error box appears"))
        return;
    Check(MessageBoxText(box) == tooMany, "it says " + Quote(tooMany),
          "it says " + Quote(MessageBoxText(box)));
    PressDialogButton(box, IDOK);
    if (!Check(WaitFor([&] { return !IsWindow(box); }, 5000), "OK dismisses it")) return;
    CheckRows(w, rows, "names one character over the buffer add nothing");
    Check(SelectedRow(w.list) == 0, "row 1 stays selected", "row " + std::to_string(SelectedRow(w.list) + 1));
    // The next dialog works, and its one shorter name is not mixed with the longer one it opened with.
    if (!ChooseFiles(w, "&Add", args[0], {args[1]})) return;
    rows.push_back({args[1], args[0] + "\\" + args[1]});
    CheckRows(w, rows, "then one file is added");
}

// ---- the keyboard after an error box, and a half-visible row ----

// The picture of the icon a message box shows, and what the system's icon ID draws on its background.
bool ShowsIcon(HWND box, LPCSTR id) {
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) != "Static" || (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        Pixels shown, drawn;
        if (!CaptureClient(child, shown) || shown.data.empty()) return false;
        const DWORD rgb = shown.At(0, 0);  // a corner the icon leaves transparent
        HBRUSH background = CreateSolidBrush(RGB(rgb >> 16, (rgb >> 8) & 0xff, rgb & 0xff));
        const bool ok = DrawPixels(
            shown.width, shown.height,
            [&](HDC dc) {
                RECT all = {0, 0, shown.width, shown.height};
                FillRect(dc, &all, background);
                DrawIcon(dc, 0, 0, LoadIconA(nullptr, id));
            },
            drawn);
        DeleteObject(background);
        return ok && drawn.data == shown.data;
    }
    return false;
}

// Waits for the box CAPTION whose text begins with TEXT: OWNER owns it, it shows the stop icon and the main
// window is disabled while it is up. Its OK then makes the main window active again, with the focus back on
// the list.
bool DismissBox(const MainWindow& w, const char* caption, const std::string& text, HWND owner) {
    HWND box = nullptr;
    if (!Check(WaitFor([&] { return (box = FindOwnedDialog(ProcessOf(w.hwnd), caption)) != nullptr; }),
               "the box " + Quote(caption) + " appears"))
        return false;
    const std::string says = MessageBoxText(box);
    Check(_strnicmp(says.c_str(), text.c_str(), text.size()) == 0, "it says " + Quote(text + "..."),
          "it says " + Quote(says));
    Check(GetWindow(box, GW_OWNER) == owner, "the " + ClassOf(owner) + " window owns it",
          "its owner is a " + Quote(ClassOf(GetWindow(box, GW_OWNER))));
    Check(WaitFor([&] { return ShowsIcon(box, IDI_HAND); }), "it shows the stop icon");
    Check(!IsWindowEnabled(w.hwnd), "the main window is disabled while it is up");
    PressDialogButton(box, IDOK);
    return Check(WaitFor([&] {
                     return !IsWindow(box) && GetForegroundWindow() == w.hwnd && FocusOf(w.hwnd) == w.list;
                 }),
                 "after OK the main window is active with the focus on the list",
                 "the active window is " + Quote(WindowText(GetForegroundWindow())) + ", the focus on a " +
                     Quote(ClassOf(FocusOf(w.hwnd))));
}

// Both kinds of error box give the keyboard back at once: Down moves on from the first, Shift+F10 opens the
// context menu after the second.
void ScenarioFocusAfterError(const Args& args) {
    if (!NeedArgs(args, 3, "focus-after-error FOLDER BAD.bmp BAD.jpg")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    // The letter a runs Add and leaves the focus on the list.
    if (!Check(FocusByClick(w.hwnd, w.list), "a click puts the focus on the list")) return;
    PressKey('A');
    if (!AnswerFileDialog(w, "the letter a", args[0], {args[1], args[2]})) return;
    if (!DismissBox(w, "Error", "Error reading file: " + args[0] + "\\" + args[1], w.hwnd)) return;
    PressKey(VK_DOWN);
    // The application's error box belongs to the application window.
    if (!DismissBox(w, kMainCaption, "JPEG error #", GetWindow(w.hwnd, GW_OWNER))) return;
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
    if (!Check(WaitFor([&] { return findMenu() != nullptr; }), "Shift+F10 opens the context menu")) return;
    PressKey(VK_ESCAPE);
    Check(WaitFor([&] { return findMenu() == nullptr; }), "Esc closes it");
}

// A click on the half-visible row below the last whole one selects that row and scrolls it into full view.
void ScenarioHalfVisibleRow(const Args& args) {
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
    // A press at X on the half-visible row, the pointer moved by DY while the button is down, and the
    // release; then the selected row and the top row, once the program has taken the release.
    int selected = -1;
    LRESULT top = -1;
    auto press = [&](int x, int dy) {
        const int before = SelectedRow(w.list);
        SendMouse({{x, p.y, 0},
                   {x, p.y, MOUSEEVENTF_LEFTDOWN},
                   {x, p.y + dy, 0},
                   {x, p.y + dy, MOUSEEVENTF_LEFTUP}});
        // The press changes the selection (and captures the mouse first): then the release lets it go.
        WaitFor([&] { return SelectedRow(w.list) != before && !HoldsMouse(w.list); });
        Answers(w);
        selected = SelectedRow(w.list);
        top = Send(w.list, LVM_GETTOPINDEX, 0, 0);
    };
    // A hand's click: the pointer moves by a pixel, within the drag threshold.
    press(p.x, 1);
    Check(selected == half, "the click selects " + name,
          "row " + std::to_string(selected + 1) + " is selected");
    row = rowRect();
    Check(top == 1 && row.bottom <= client.bottom, "the list scrolls by one row and shows it whole",
          "row " + std::to_string(top + 1) + " is at the top");
    WaitBanner(w, "after its preview");
    // The next row is half-visible now. Pressed (away from the first click: no double-click), the pointer
    // then moved 3 pixels: the drag selects the row the scroll brought under the pointer, and the list
    // stays.
    press(p.x + 60, 3);
    Check(selected == half + 2 && top == 2,
          "a press on " + std::string("row ") + std::to_string(half + 2) +
              " and a 3-pixel drag select the row under the pointer, the list scrolled by one row",
          "row " + std::to_string(selected + 1) + " is selected, row " + std::to_string(top + 1) +
              " at the top");
    WaitBanner(w, "after its preview");
}

// The scripted demonstration of "make run": adds the pictures to whatever the list holds, selects the first
// of them and makes it the wallpaper.
void ScenarioDemo(const Args& args) {
    if (!NeedArgs(args, 2, "demo FOLDER NAME...")) return;
    MainWindow w;
    if (!FindMain(w)) return;
    const std::string folder = args[0];
    const std::vector<std::string> names(args.begin() + 1, args.end());
    const size_t before = ReadRows(w.list).size();
    if (!ChooseFiles(w, "&Add", folder, names)) return;
    std::vector<Row> rows;
    if (!Check(WaitFor([&] { return (rows = ReadRows(w.list)).size() == before + names.size(); }),
               "the pictures are listed", "the list shows " + Describe(rows)))
        return;
    WaitBanner(w, "after the preview");
    if (!SelectRow(w, static_cast<int>(before))) return;
    WaitBanner(w, "after the preview");
    SetWallpaperWithF9(w);
}

// ---- the keys and the context menu as a person uses them ----

// The context menu of the program while it is open.
HWND OpenMenu(DWORD pid) {
    for (HWND hwnd : TopLevelWindows())
        if (IsWindowVisible(hwnd) && ProcessOf(hwnd) == pid && ClassOf(hwnd) == "#32768") return hwnd;
    return nullptr;
}

int Darkness(DWORD rgb) {
    return 3 * 255 - static_cast<int>((rgb >> 16) + ((rgb >> 8) & 0xff) + (rgb & 0xff));
}

// Whether each item with a caption is enabled, as the menu shows it: the bands of its text from the top, an
// item written in the menu's text colour enabled, one in the grey of disabled text not. Separators are
// two-pixel lines; nothing is read while an item is highlighted.
std::vector<bool> ShownItems(HWND menu) {
    Pixels shown;
    if (!CaptureClient(menu, shown) || shown.data.empty()) return {};
    const auto rgbOf = [](int index) {
        const COLORREF c = GetSysColor(index);
        return static_cast<DWORD>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    };
    const DWORD background = rgbOf(COLOR_MENU), highlight = rgbOf(COLOR_HIGHLIGHT);
    // Darker than disabled text can be: the glyphs of an enabled item.
    const int dark = (Darkness(rgbOf(COLOR_MENUTEXT)) + Darkness(rgbOf(COLOR_GRAYTEXT))) / 2;
    std::vector<bool> items;
    int bandTop = -1, darkest = 0;
    for (int y = 0; y <= shown.height; ++y) {
        bool ink = false;
        for (int x = 0; y < shown.height && x < shown.width; ++x) {
            const DWORD rgb = shown.At(x, y);
            if (rgb == highlight) return {};
            if (rgb == background || x < 3 || x >= shown.width - 3) continue;
            ink = true;
            darkest = std::max(darkest, Darkness(rgb));
        }
        if (ink && bandTop < 0) bandTop = y;
        if (!ink && bandTop >= 0) {
            if (y - bandTop >= 5) items.push_back(darkest > dark);
            bandTop = -1;
            darkest = 0;
        }
    }
    return items;
}

std::string MenuSigns(const std::vector<bool>& items) {
    std::string s;
    for (bool enabled : items)
        s += enabled ? "+" : "-";
    return s;
}

const char* const kMenuCaptions[] = {"&Hide window", "&Set as wallpaper", "&Remove from list", "&Add files",
                                     "&Exit",        "&About..."};

// OPENER opens the context menu; it shows its items enabled as ENABLED (one sign per captioned item), and
// Esc closes it again with the window still there.
bool CheckMenu(const MainWindow& w, const std::string& opener, const std::function<void()>& open,
               const std::string& enabled) {
    const DWORD pid = ProcessOf(w.hwnd);
    BringToFront(w.hwnd);
    open();
    HWND menu = nullptr;
    if (!Check(WaitFor([&] { return (menu = OpenMenu(pid)) != nullptr; }, 5000), opener + " opens the menu"))
        return false;
    std::vector<bool> items;
    const bool ok = WaitFor([&] { return MenuSigns(items = ShownItems(menu)) == enabled; }, 5000);
    std::vector<std::string> said;
    for (size_t i = 0; i < items.size() && i < std::size(kMenuCaptions); ++i)
        said.push_back(Quote(kMenuCaptions[i]) + (items[i] ? " enabled" : " greyed"));
    Check(ok, "it shows " + enabled + " (" + Join(said) + ")",
          "it shows " + std::to_string(items.size()) + " items " + MenuSigns(items));
    PressKey(VK_ESCAPE);
    return Check(WaitFor([&] { return OpenMenu(pid) == nullptr; }, 5000) && IsWindowVisible(w.hwnd),
                 "Esc closes the menu, the window stays") &&
           ok;
}

void RightClickAt(POINT p) {
    SendMouse({{p.x, p.y, 0}, {p.x, p.y, MOUSEEVENTF_RIGHTDOWN}, {p.x, p.y, MOUSEEVENTF_RIGHTUP}});
}

HWND ResLargeBox(const MainWindow& w) {
    return FindDescendant(w.hwnd, "Button", "&Shrink to fit ");
}

bool ShrinkTicked(const MainWindow& w) {
    return Send(ResLargeBox(w), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The menu on the empty list, opened by the right button and the Menu key, greys the entry commands, and F9
// and Del then stay without effect until it opens on an entry.
bool MenuOnTheEmptyList(const MainWindow& w, const std::string& folder,
                        const std::vector<std::string>& names) {
    RECT client;
    GetClientRect(w.list, &client);
    POINT empty = {client.right / 2, client.bottom * 2 / 3};
    ClientToScreen(w.list, &empty);
    // A click into the list first, as a hand does: Wine may raise the window over a menu opened before the
    // window has taken its first input.
    if (!Check(FocusByClick(w.hwnd, w.list), "a click puts the focus on the list")) return false;
    if (!CheckMenu(
            w, "a right-click on the empty list", [&] { RightClickAt(empty); }, "+---++") ||
        !CheckMenu(
            w, "the Menu key", [] { PressKey(VK_APPS); }, "+---++"))
        return false;
    // The letter a in the list runs Add.
    if (!Check(FocusOf(w.hwnd) == w.list, "the focus is still on the list")) return false;
    PressKey('A');
    if (!AnswerFileDialog(w, "the letter a in the list", folder, names) ||
        !CheckRows(w, ExpectedRows(folder, names), "the letter a in the list adds the pictures"))
        return false;
    WaitBanner(w, "after the preview");

    const std::string file = WallpaperFile();
    ULONGLONG stamp0 = 0, size0 = 0, stamp = 0, size = 0;
    const bool existed = FileStamp(file, stamp0, size0);
    BringToFront(w.hwnd);
    PressKey(VK_F9);
    PressKey(VK_DELETE);
    // The menu opens after F9 and Del were handled, in the order given.
    if (!CheckMenu(
            w, "a right-click on row 1", [&] { RightClickAt(RowPoint(w, 0)); }, "++++++"))
        return false;
    const bool written = FileStamp(file, stamp, size) && (!existed || stamp != stamp0 || size != size0);
    Check(!written, "F9 after the menu opened on the empty list writes no wallpaper");
    if (!CheckRows(w, ExpectedRows(folder, names), "nor does Del remove the entry")) return false;
    BringToFront(w.hwnd);
    PressKey(VK_DELETE);
    return CheckRows(w, ExpectedRows(folder, {names.begin() + 1, names.end()}),
                     "once it opened on an entry, Del removes it");
}

// Alt+S from the delay edit box toggles "Shrink to fit", s typed there is text; s in the list toggles it.
bool ShrinkByKeys(MainWindow& w) {
    if (!Check(FocusByClick(w.hwnd, w.edit), "a click puts the focus into the delay edit box")) return false;
    const std::string text = WindowText(w.edit);
    Send(w.edit, EM_SETSEL, text.size(), text.size());
    PressKey('S');
    Check(WaitFor([&] { return WindowText(w.edit) == text + "s"; }, 5000),
          "s typed in the delay edit box is entered there", "it holds " + Quote(WindowText(w.edit)));
    if (!Check(Answers(w) && ShrinkTicked(w), "and leaves \"Shrink to fit\" ticked")) return false;
    PressKey('S', VK_MENU);
    if (!Check(WaitFor([&] { return !ShrinkTicked(w); }, 5000), "Alt+S there unticks \"Shrink to fit\""))
        return false;
    WaitBanner(w, "after the option's preview");
    if (!SelectRow(w, 0) || !Check(WaitFor([&] { return FocusOf(w.hwnd) == w.list; }, 5000),
                                   "the click puts the focus on the list"))
        return false;
    WaitBanner(w, "after the preview");
    PressKey('S');
    if (!Check(WaitFor([&] { return ShrinkTicked(w); }, 5000), "s in the list ticks \"Shrink to fit\" again"))
        return false;
    return WaitBanner(w, "after the option's preview");
}

// Two clicks in a row at one point, as quick as a hand's double-click.
void DoubleClickAt(POINT p) {
    SendMouse({{p.x, p.y, 0},
               {p.x, p.y, MOUSEEVENTF_LEFTDOWN},
               {p.x, p.y, MOUSEEVENTF_LEFTUP},
               {p.x, p.y, MOUSEEVENTF_LEFTDOWN},
               {p.x, p.y, MOUSEEVENTF_LEFTUP}});
}

// The right button and the Menu key on the empty list; F9 and Del before and after the menu opened on an
// entry; Alt+S and s in the delay edit box and in the list; a double-click on the header row; Esc. The
// wallpaper left is the last picture's (run.sh checks it).
void ScenarioKeysAndMenu(const Args& args) {
    if (!NeedArgs(args, 4, "keys-and-menu FOLDER A B C")) return;
    MainWindow w;
    if (!FindMain(w) || !CheckRows(w, {}, "the list starts empty")) return;
    const std::string folder = args[0];
    if (!MenuOnTheEmptyList(w, folder, {args[1], args[2], args[3]})) return;
    WaitBanner(w, "after Remove");
    SetWallpaperWithF9(w);
    if (!ShrinkByKeys(w)) return;

    // A double-click on the header row applies the selected entry, which stays selected.
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the preview");
    const std::string file = WallpaperFile();
    ULONGLONG stamp0 = 0, size0 = 0, stamp = 0, size = 0;
    FileStamp(file, stamp0, size0);
    HWND header = reinterpret_cast<HWND>(Send(w.list, LVM_GETHEADER, 0, 0));
    RECT r;
    GetWindowRect(header, &r);
    BringToFront(w.hwnd);
    DoubleClickAt({r.left + 50, (r.top + r.bottom) / 2});
    Check(WaitFor([&] { return FileStamp(file, stamp, size) && (stamp != stamp0 || size != size0); }),
          "a double-click on the header row writes " + Quote(file));
    WaitBanner(w, "after the wallpaper");
    Check(SelectedRow(w.list) == 1, "row 2 stays selected", "row " + std::to_string(SelectedRow(w.list) + 1));

    BringToFront(w.hwnd);
    PressKey(VK_ESCAPE);
    Check(WaitFor([&] { return !IsWindowVisible(w.hwnd); }, 5000), "Esc hides the window");
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
    return Check(WaitFor([&] { return IsTicked(box) == ticked; }),
                 what + (ticked ? " ticked" : " unticked") + " by a click");
}

void ScenarioPersistSave(const Args& args) {
    if (!NeedArgs(args, 3, "persist-save FOLDER A B")) return;
    MainWindow w;
    const std::string folder = args[0];
    if (!OpenAndAdd(w, folder, {args[1], args[2]})) return;
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the preview");
    if (!ClickBox(w, kIdZoomToFit, true, "\"Zoom to fit\"")) return;
    WaitBanner(w, "after the option's preview");
    if (!ClickBox(w, kIdStartWithWindows, true, "\"Start with Windows\"")) return;
    BringToFront(w.hwnd);
    PressKey('X', VK_CONTROL);
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "Ctrl+X ends the program");
}

void ScenarioPersistRestore(const Args& args) {
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

// ---- names in any script ----

// "Landscape" in Russian, "Sea" in Greek (a JPEG), "Mountains and water" in Chinese, and a sunrise emoji, in
// UTF-8: the code page of the program and of this driver.
const char* const kScriptNames[] = {
    "\xD0\x9F\xD0\xB5\xD0\xB9\xD0\xB7\xD0\xB0\xD0\xB6.bmp",
    "\xCE\x98\xCE\xAC\xCE\xBB\xCE\xB1\xCF\x83\xCF\x83\xCE\xB1.jpg",
    "\xE5\xB1\xB1\xE6\xB0\xB4.bmp",
    "\xF0\x9F\x8C\x85 Sunrise.bmp",
};

std::wstring Utf16(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], n);
    return text;
}

// The list's value "File<row>" as the registry holds it, in UTF-16.
std::wstring StoredPath(int row) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Kelvara\\Ferlin2", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return std::wstring();
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof data[0];
    DWORD type = 0;
    const std::wstring name = L"File" + std::to_wstring(row);
    const LONG code =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return code == ERROR_SUCCESS && type == REG_SZ ? std::wstring(data) : std::wstring();
}

// The desktop's wallpaper style, as the user's settings hold it.
void SetDesktopStyle(const std::string& style, const std::string& tile) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(style.c_str()),
                   static_cast<DWORD>(style.size() + 1));
    RegSetValueExA(key, "TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(tile.c_str()),
                   static_cast<DWORD>(tile.size() + 1));
    RegCloseKey(key);
}

// Ctrl+X ends the copy of that window; true once its process has gone.
bool EndWithCtrlX(const MainWindow& w) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(w.hwnd));
    BringToFront(w.hwnd);
    PressKey('X', VK_CONTROL);
    const bool ended = process && WaitForSingleObject(process, gTimeoutMs) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    return Check(ended, "Ctrl+X ends the program");
}

// Copies of four pictures under names in Cyrillic, Greek and Chinese letters and with an emoji: Add lists
// them and previews the first; a new run restores them from the registry, which holds them in UTF-16, and
// F9 makes the Greek-named JPEG the wallpaper, the desktop's style being "fill" before.
void ScenarioScriptNames(const Args& args) {
    if (!NeedArgs(args, 7, "script-names FOLDER EXE PREVIEW.bmp A B C D")) return;
    const std::string folder = args[0] + "\\scripts";
    const std::vector<std::string> names(std::begin(kScriptNames), std::end(kScriptNames));
    CreateDirectoryA(folder.c_str(), nullptr);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string from = args[0] + "\\" + args[3 + i], to = folder + "\\" + names[i];
        if (!Check(CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE,
                   args[3 + i] + " copied as " + Quote(to)))
            return;
    }
    MainWindow w;
    if (!OpenAndAdd(w, folder, names)) return;
    CheckPreview(w, args[2]);
    if (!SelectRow(w, 1)) return;
    WaitBanner(w, "after the Greek-named JPEG's preview");
    if (!EndWithCtrlX(w)) return;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::wstring expected = Utf16(folder + "\\" + names[i]);
        Check(_wcsicmp(StoredPath(static_cast<int>(i) + 1).c_str(), expected.c_str()) == 0,
              "File" + std::to_string(i + 1) + " holds " + Quote(names[i]) + " in UTF-16");
    }

    PROCESS_INFORMATION process;
    if (!Check(StartProgram(args[1], process), "the program starts again")) return;
    MainWindow again;
    if (FindMain(again) && CheckRows(again, ExpectedRows(folder, names), "a new run restores the names")) {
        Check(SelectedRow(again.list) == 1, "the stored selection, row 2, comes back",
              "row " + std::to_string(SelectedRow(again.list) + 1));
        WaitBanner(again, "after the restored JPEG's preview");
        SetDesktopStyle("10", "0");
        SetWallpaperWithF9(again);
        EndWithCtrlX(again);
    }
    if (WaitForSingleObject(process.hProcess, gTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    Check(code == 0, "the new run ends with exit code 0", std::to_string(code));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void ScenarioExit(const Args&) {
    MainWindow w;
    if (!FindMain(w)) return;
    BringToFront(w.hwnd);
    PressKey('X', VK_CONTROL);
    Check(WaitFor([&] { return !IsWindow(w.hwnd); }), "Ctrl+X ends the program");
}

}  // namespace tavo::e2e
