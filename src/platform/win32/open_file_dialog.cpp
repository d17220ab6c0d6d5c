// The common open-file dialog: GetOpenFileNameA with a hook that centres it on the screen.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <utility>
#include <vector>

#include "framework/open_dialog.h"
#include "platform/win32/ports_win32.h"

namespace tavo::win32 {

namespace {

// "Text|*.a;*.b|..." as the NUL-separated pairs the dialog wants, double-terminated.
std::vector<char> FilterPairs(const std::string& filter) {
    std::vector<char> pairs;
    for (char c : filter)
        pairs.push_back(c == '|' ? '\0' : c);
    pairs.push_back('\0');
    pairs.push_back('\0');
    return pairs;
}

void CentreOnScreen(HWND dialog) {
    RECT box;
    if (!GetWindowRect(dialog, &box)) return;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The Explorer-style hook is a child of the dialog: the dialog itself is its parent.
UINT_PTR CALLBACK CentringHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE) {
        CentreOnScreen(GetParent(hook));
    }
    return 0;
}

DWORD DialogFlags(const OpenDialogOptions& options) {
    DWORD flags = OFN_ENABLEHOOK;
    if (options.allowMultiSelect) flags |= OFN_ALLOWMULTISELECT;
    if (options.pathMustExist) flags |= OFN_PATHMUSTEXIST;
    if (options.fileMustExist) flags |= OFN_FILEMUSTEXIST;
    if (options.enableSizing) flags |= OFN_ENABLESIZING;
    if (options.hideReadOnly) flags |= OFN_HIDEREADONLY;
    if (options.explorer) flags |= OFN_EXPLORER;
    return flags;
}

// The characters the names take as the dialog counts them (UTF-16 units, NULs included), whatever
// the number of bytes each takes in the process's code page.
size_t CharactersOf(const std::string& names) {
    return static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, names.data(), static_cast<int>(names.size()), nullptr, 0));
}

}  // namespace

// The A call's buffer counts bytes, and a character may take up to three in UTF-8: the dialog gets
// room for the request's characters in bytes, and names that take more characters fail as they
// would in a buffer of that many characters.
std::optional<OpenDialogResult> FileDialogsWin32::RunOpenDialog(const OpenDialogRequest& request) {
    const size_t chars = request.bufferChars < 2 ? 2 : request.bufferChars;
    const size_t bytes = chars * kMaxBytesPerChar;
    // Two spare bytes: names that do not fit may be written one character past the end.
    std::vector<char> buffer(bytes + 2, '\0');
    if (request.fileName.size() < bytes) request.fileName.copy(buffer.data(), request.fileName.size());
    std::vector<char> filter = FilterPairs(request.filter);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.data();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(bytes);
    ofn.lpstrInitialDir = request.initialDir.empty() ? nullptr : request.initialDir.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
    ofn.Flags = DialogFlags(request.options);
    ofn.lpfnHook = CentringHook;
    // Names that do not fit the buffer fail on Windows (FNERR_BUFFERTOOSMALL); Wine confirms them
    // without a closing NUL inside the buffer. Either way the user chose too many.
    OpenDialogResult tooLong;
    tooLong.tooLong = true;
    if (!GetOpenFileNameA(&ofn)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) return tooLong;
        return std::nullopt;
    }
    if (CommDlgExtendedError() != 0) return std::nullopt;
    const std::string result(buffer.data(), bytes);
    if (CharactersOf(SelectedNamesText(result, ofn.nFileOffset)) > chars) return tooLong;
    std::optional<std::vector<std::string>> files = ReadSelectedFiles(result, ofn.nFileOffset);
    if (!files) return tooLong;
    if (files->empty()) return std::nullopt;
    return OpenDialogResult{std::move(*files), static_cast<int>(ofn.nFilterIndex)};
}

}  // namespace tavo::win32
