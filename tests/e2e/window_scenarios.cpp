// The main window's scenarios: the list, the preview, the options, the keys, the errors and what is kept
// between runs.
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
    auto dragEdge = [&](bool right, int by, int expectHeight, const std::string& what) {
        GetWindowRect(w.hwnd, &r);
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        const bool released = right ? Drag(r.right - 2, midY, r.right - 2 + by, midY)
                                    : Drag(midX, r.bottom - 2, midX, r.bottom - 2 + by);
        if (!Check(released, what + ": the frame takes the drag")) return;
        const bool ok = WaitFor([&] {
            GetWindowRect(w.hwnd, &dragged);
            return dragged.right - dragged.left == 440 && dragged.bottom - dragged.top == expectHeight;
        });
        Check(ok, what, "it is " + SizeText(dragged));
    };
    dragEdge(true, 120, 440, "dragging the right edge 120 pixels out keeps the window 440 x 440");
    dragEdge(false, 60, 500, "dragging the bottom edge 60 pixels down makes it 440 x 500");
    dragEdge(false, -200, 440, "dragging it 200 pixels up stops at 440 x 440");
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
// character over it add nothing.
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

    if (!ChooseFiles(w, "&Add", over, overNames) || !Check(Answers(w, 600000), "the program answers")) return;
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
