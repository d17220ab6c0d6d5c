// The Win32 adapters of the ports the main window uses.
#pragma once

#include <windows.h>

#include "framework/ports.h"

namespace tavo::win32 {

// The most bytes one UTF-16 character takes in the process's code page (UTF-8 under the manifest's
// choice): a buffer the A calls fill in bytes holds as many characters as before at this many times
// the size.
constexpr size_t kMaxBytesPerChar = 3;

class ScreenWin32 : public Screen {
public:
    int Width() const override;
    int Height() const override;
    int BitsPerPixel() const override;
};

// Message boxes modal to the whole application, owned by `owner` while it is set. The
// window that had the keyboard focus before a box has it again afterwards.
class DialogsWin32 : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    HWND owner = nullptr;
};

// The application-wide cursor: the windows ask Busy() when the pointer moves over them.
class CursorWin32 : public Cursor {
public:
    void SetShape(CursorShape shape) override;
    bool Busy() const { return shape_ == CursorShape::HourGlass; }
    // Sets the cursor for the pointer over one of our windows; false: the default one applies.
    bool ApplyWhenBusy() const;

private:
    CursorShape shape_ = CursorShape::Default;
};

// GetOpenFileNameA, Explorer style, centred on the screen when it opens.
class FileDialogsWin32 : public FileDialogs {
public:
    std::optional<OpenDialogResult> RunOpenDialog(const OpenDialogRequest& request) override;
    // The window the dialog is modal to.
    HWND owner = nullptr;
};

class SystemFoldersWin32 : public SystemFolders {
public:
    std::string WindowsDirectory() const override;
    std::string LocalAppData() const override;
};

// The process token's answer (Windows Vista and later; earlier systems cannot be asked).
class ProcessTokenWin32 : public ProcessToken {
public:
    std::optional<bool> VirtualizationEnabled() const override;
};

class WallpaperWin32 : public Wallpaper {
public:
    bool SetDeskWallpaper(const std::string& fileName) override;
};

}  // namespace tavo::win32
